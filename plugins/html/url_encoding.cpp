#include "url_encoding.h"

#include <cctype>

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
