#include "html_escape.h"

#include <cctype>
#include <cstdio>

namespace {

// Code page 1252 for the bytes 0x80 to 0x9F (0xFFFD where it has no character).
const unsigned kCp1252High[32] = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

// The code point of the valid UTF-8 sequence at text[at] and its length, or a
// length of 0 when there is none.
size_t decodeUtf8(const std::string& text, size_t at, unsigned long* code) {
    const unsigned char lead = static_cast<unsigned char>(text[at]);
    size_t length;
    if (lead >= 0xC2 && lead <= 0xDF) { length = 2; *code = lead & 0x1F; }
    else if (lead >= 0xE0 && lead <= 0xEF) { length = 3; *code = lead & 0x0F; }
    else if (lead >= 0xF0 && lead <= 0xF4) { length = 4; *code = lead & 0x07; }
    else return 0;
    if (at + length > text.size()) return 0;
    for (size_t i = 1; i < length; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[at + i]);
        if ((c & 0xC0) != 0x80) return 0;
        *code = (*code << 6) | (c & 0x3F);
    }
    const unsigned long minimum[] = {0, 0, 0x80, 0x800, 0x10000};
    if (*code < minimum[length] || *code > 0x10FFFF || (*code >= 0xD800 && *code <= 0xDFFF)) return 0;
    return length;
}

}  // namespace

size_t NextCodePoint(const std::string& text, size_t at, unsigned long* code) {
    const unsigned char c = static_cast<unsigned char>(text[at]);
    if (c < 0x80) {
        *code = c;
        return 1;
    }
    if (const size_t length = decodeUtf8(text, at, code)) return length;
    *code = c < 0xA0 ? kCp1252High[c - 0x80] : c;
    return 1;
}

namespace {

std::string reference(unsigned long code) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "&#x%lX;", code);
    return buf;
}

}  // namespace

std::string EscapeHtml(const std::string& value) {
    std::string out;
    out.reserve(value.size());
    for (size_t at = 0; at < value.size();) {
        const unsigned char c = static_cast<unsigned char>(value[at]);
        if (c >= 0x80) {
            unsigned long code;
            at += NextCodePoint(value, at, &code);
            out += reference(code);
            continue;
        }
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&#39;"; break;
        case '\t': case '\n': out += static_cast<char>(c); break;
        default:
            if (c < 0x20) out += reference(0x2400 + c);
            else if (c == 0x7F) out += reference(0x2421);
            else out += static_cast<char>(c);
        }
        ++at;
    }
    return out;
}

std::string JsonString(const std::string& value) {
    static const char hex[] = "0123456789abcdef";
    std::string out = "\"";
    out.reserve(value.size() + 2);
    auto unit = [&out](unsigned long u) {
        out += "\\u";
        for (int shift = 12; shift >= 0; shift -= 4) out += hex[(u >> shift) & 0xF];
    };
    for (size_t at = 0; at < value.size();) {
        unsigned long code;
        at += NextCodePoint(value, at, &code);
        if (code < 0x20) code += 0x2400;          // a visible control picture
        else if (code == 0x7F) code = 0x2421;
        if (code == '"' || code == '\\') {
            out += '\\';
            out += static_cast<char>(code);
        } else if (code >= 0x20 && code < 0x7F && code != '<' && code != '>' && code != '&' && code != '\'') {
            out += static_cast<char>(code);
        } else if (code > 0xFFFF) {
            unit(0xD800 + ((code - 0x10000) >> 10));
            unit(0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            unit(code);
        }
    }
    return out + "\"";
}

std::string UrlComponent(const std::string& value) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (char ch : value) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~') {
            out += ch;
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 0xF];
        }
    }
    return out;
}
