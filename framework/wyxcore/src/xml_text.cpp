#include "xml_text.h"

namespace cimxml {

namespace {

void appendUtf8(unsigned code, std::string* out) {
    if (code < 0x80) {
        out->push_back(static_cast<char>(code));
    } else if (code < 0x800) {
        out->push_back(static_cast<char>(0xC0 | (code >> 6)));
        out->push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
        out->push_back(static_cast<char>(0xE0 | (code >> 12)));
        out->push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
}

const unsigned kControlBase = 0xE000;

}  // namespace

std::string EscapeText(const std::string& bytes, bool attribute) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    AppendEscaped(bytes, attribute, &out);
    return out;
}

namespace {

// Which bytes stand for themselves, in text and in attribute values: every
// value of a file passes through here.
struct PlainBytes {
    bool text[256];
    bool attribute[256];
    PlainBytes() {
        for (int c = 0; c < 256; ++c) {
            attribute[c] = c >= 0x20 && c < 0x80 && c != '&' && c != '<' && c != '>' && c != '"' && c != '\'';
            text[c] = attribute[c] || c == '\n' || c == '\t';
        }
    }
};

const PlainBytes kPlain;

}  // namespace

void AppendEscaped(const std::string& bytes, bool attribute, std::string* out) {
    const char* const data = bytes.data();
    const size_t size = bytes.size();
    const bool* const stands = attribute ? kPlain.attribute : kPlain.text;
    size_t plain = 0;   // start of the run of bytes that stand for themselves
    for (size_t i = 0; i < size; ++i) {
        const unsigned char c = static_cast<unsigned char>(data[i]);
        if (stands[c]) continue;
        out->append(data + plain, i - plain);
        plain = i + 1;
        switch (c) {
        case '&': *out += "&amp;"; break;
        case '<': *out += "&lt;"; break;
        case '>': *out += "&gt;"; break;
        case '"': *out += "&quot;"; break;
        case '\'': *out += "&apos;"; break;
        case '\r': *out += "&#13;"; break;
        case '\n': *out += "&#10;"; break;
        case '\t': *out += "&#9;"; break;
        default:
            if (c < 0x20) appendUtf8(kControlBase + c, out);
            else appendUtf8(c, out);
        }
    }
    out->append(data + plain, size - plain);
}

bool AppendDecoded(const char* begin, const char* end, std::string* bytes) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(begin);
    const unsigned char* const stop = reinterpret_cast<const unsigned char*>(end);
    while (p < stop) {
        const unsigned char* ascii = p;
        while (p < stop && *p < 0x80) ++p;
        bytes->append(reinterpret_cast<const char*>(ascii), static_cast<size_t>(p - ascii));
        if (p == stop) return true;
        unsigned code;
        int extra;
        if ((*p & 0xE0) == 0xC0) {
            code = *p & 0x1F;
            extra = 1;
        } else if ((*p & 0xF0) == 0xE0) {
            code = *p & 0x0F;
            extra = 2;
        } else if ((*p & 0xF8) == 0xF0) {
            code = *p & 0x07;
            extra = 3;
        } else {
            return false;
        }
        ++p;
        if (stop - p < extra) return false;
        for (int i = 0; i < extra; ++i, ++p) {
            if ((*p & 0xC0) != 0x80) return false;
            code = (code << 6) | (*p & 0x3F);
        }
        AppendCharacter(code, bytes);
    }
    return true;
}

void AppendCharacter(unsigned code, std::string* bytes) {
    if (code <= 0xFF) bytes->push_back(static_cast<char>(code));
    else if (code >= kControlBase && code < kControlBase + 0x20) bytes->push_back(static_cast<char>(code - kControlBase));
    else bytes->push_back('?');
}

}  // namespace cimxml
