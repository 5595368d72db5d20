#include "store_text.h"

#include "eight_bit_text.h"

namespace {

void appendUtf8(unsigned long code, std::string* out) {
    if (code < 0x80) {
        *out += static_cast<char>(code);
    } else if (code < 0x800) {
        *out += static_cast<char>(0xC0 | (code >> 6));
        *out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        *out += static_cast<char>(0xE0 | (code >> 12));
        *out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        *out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        *out += static_cast<char>(0xF0 | (code >> 18));
        *out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        *out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        *out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

}  // namespace

std::string StoreText(const std::string& text) {
    bool plain = true;   // ASCII without NUL: already what the store keeps, and most text is
    for (unsigned char c : text) plain = plain && c != 0 && c < 0x80;
    if (plain) return text;
    std::string out;
    out.reserve(text.size());
    for (size_t at = 0; at < text.size();) {
        unsigned long code = 0;
        const size_t size = NextCodePoint(text, at, &code);
        if (code == 0) code = 0x2400;
        if (code < 0x80 && size == 1)
            out += text[at];
        else
            appendUtf8(code, &out);
        at += size ? size : 1;
    }
    return out;
}
