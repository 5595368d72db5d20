#include "counter_text.h"

#include <cstdio>

#include "host_files.h"

namespace health {

namespace {

const size_t kQuoteLimit = 40;
const size_t kDigitLimit = 20;

}  // namespace

std::string Quoted(const std::string& text) {
    std::string out = "\"";
    for (size_t i = 0; i < text.size() && i < kQuoteLimit; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 || c >= 0x7f || c == '"' || c == '\\') {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02x", c);
            out += hex;
        } else {
            out += static_cast<char>(c);
        }
    }
    if (text.size() > kQuoteLimit) out += "...";
    return out + "\"";
}

Count CountOf(const std::string& text, uint64_t limit, const std::string& where, std::vector<std::string>& notes) {
    Count count;
    if (text.empty() || text.size() > kDigitLimit || text.find_first_not_of("0123456789") != std::string::npos) {
        notes.push_back(where + ": not a count: " + Quoted(text));
        return count;
    }
    uint64_t value = 0;
    for (char c : text) {
        const uint64_t digit = static_cast<uint64_t>(c - '0');
        if (value > (UINT64_MAX - digit) / 10) {
            value = UINT64_MAX;
            break;
        }
        value = value * 10 + digit;
    }
    if (value > limit) {
        notes.push_back(where + ": count out of range: " + text);
        return count;
    }
    count.known = true;
    count.value = value;
    return count;
}

Count ReadCount(const std::string& absolute, uint64_t limit, std::vector<std::string>& notes) {
    std::string text;
    if (!hostfs::ReadFile(absolute, hostfs::kValueLimit, &text)) return Count();
    return CountOf(hostfs::ValueOf(text), limit, absolute, notes);
}

}  // namespace health
