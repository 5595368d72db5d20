#include "text_cell.h"

#include <cstdio>

namespace {

// Length of the valid UTF-8 sequence at text[at], 0 when there is none.
size_t utf8Length(const std::string& text, size_t at) {
    const unsigned char lead = static_cast<unsigned char>(text[at]);
    if (lead < 0x80) return 1;
    size_t length;
    unsigned long code;
    if (lead >= 0xC2 && lead <= 0xDF) { length = 2; code = lead & 0x1F; }
    else if (lead >= 0xE0 && lead <= 0xEF) { length = 3; code = lead & 0x0F; }
    else if (lead >= 0xF0 && lead <= 0xF4) { length = 4; code = lead & 0x07; }
    else return 0;
    if (at + length > text.size()) return 0;
    for (size_t i = 1; i < length; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[at + i]);
        if ((c & 0xC0) != 0x80) return 0;
        code = (code << 6) | (c & 0x3F);
    }
    const unsigned long minimum[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < minimum[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
    return length;
}

}  // namespace

std::string PlainText(const std::string& value) {
    std::string out;
    for (char ch : value) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (c >= 0x20 && c != 0x7F) out += ch;
        else if (c == '\n') out += "\\n";
        else if (c == '\r') out += "\\r";
        else if (c == '\t') out += "\\t";
        else {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02X", c);
            out += buf;
        }
    }
    return out;
}

std::vector<std::string> TextCharacters(const std::string& text) {
    std::vector<std::string> chars;
    for (size_t at = 0; at < text.size();) {
        const size_t length = utf8Length(text, at);
        if (length == 0) {
            chars.clear();
            for (char ch : text) chars.push_back(std::string(1, ch));
            return chars;
        }
        chars.push_back(text.substr(at, length));
        at += length;
    }
    return chars;
}

size_t TextWidth(const std::string& text) { return TextCharacters(text).size(); }

std::vector<std::string> WrapText(const std::string& text, size_t width) {
    const std::vector<std::string> chars = TextCharacters(text);
    std::vector<std::string> lines;
    size_t at = 0;
    while (at < chars.size() || lines.empty()) {
        size_t end = at + width < chars.size() ? at + width : chars.size();
        size_t next = end;
        if (end < chars.size()) {
            // Break after the last blank of the line, if the line has one.
            for (size_t i = end; i > at; --i) {
                if (chars[i] == " ") {
                    end = i;
                    next = i + 1;
                    break;
                }
            }
        }
        std::string line;
        for (size_t i = at; i < end; ++i) line += chars[i];
        lines.push_back(line);
        at = next;
        if (width == 0) break;
    }
    return lines;
}
