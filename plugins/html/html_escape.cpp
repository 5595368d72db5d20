#include "html_escape.h"

#include <cstdio>

#include "eight_bit_text.h"

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
