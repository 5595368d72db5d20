#include "eight_bit_text.h"

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
