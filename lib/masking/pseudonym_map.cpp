#include "pseudonym_map.h"

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace {

const unsigned long kIpv4Count = 254UL * 3 + 131070UL;
const unsigned long kMacCount = 0xFFFFFFUL;

std::string numbered(const char* prefix, unsigned long n) {
    char text[32];
    std::snprintf(text, sizeof text, "%s-%04lu", prefix, n);
    return text;
}

std::string ipv4(unsigned long n) {
    char text[32];
    if (n <= 254) std::snprintf(text, sizeof text, "192.0.2.%lu", n);
    else if (n <= 508) std::snprintf(text, sizeof text, "198.51.100.%lu", n - 254);
    else if (n <= 762) std::snprintf(text, sizeof text, "203.0.113.%lu", n - 508);
    else {
        const unsigned long m = n - 762;   // 1 .. 131070 within 198.18.0.0/15
        std::snprintf(text, sizeof text, "198.%lu.%lu.%lu", 18 + (m >> 16), (m >> 8) & 0xFF, m & 0xFF);
    }
    return text;
}

}  // namespace

std::string PseudonymMap::Make(MaskKind kind, unsigned long n, const std::string& maker) {
    switch (kind) {
    case MaskKind::kHost: return numbered("host", n);
    case MaskKind::kUser: return numbered("user", n);
    case MaskKind::kSerial: return numbered("serial", n);
    case MaskKind::kWord: return numbered("word", n);
    case MaskKind::kAddress4:
        if (n == 0 || n > kIpv4Count) throw std::length_error("no IPv4 pseudonym left");
        return ipv4(n);
    case MaskKind::kAddress6: {
        char text[48];
        std::snprintf(text, sizeof text, "2001:db8::%lx", n);
        return text;
    }
    case MaskKind::kMac: {
        if (n == 0 || n > kMacCount) throw std::length_error("no MAC pseudonym left");
        char text[32];
        std::snprintf(text, sizeof text, "%s:%02lx:%02lx:%02lx", maker.empty() ? "02:00:00" : maker.c_str(),
                      (n >> 16) & 0xFF, (n >> 8) & 0xFF, n & 0xFF);
        return text;
    }
    }
    throw std::length_error("unknown kind");
}

const std::string& PseudonymMap::PseudonymOf(MaskKind kind, const std::string& key, bool keepMacMaker) {
    const auto found = index_.find({kind, key});
    if (found != index_.end()) return entries_[found->second].pseudonym;
    const std::string maker = kind == MaskKind::kMac && keepMacMaker ? key.substr(0, 8) : std::string();
    std::string pseudonym;
    // A restored map may hold a pseudonym made under the other MAC choice: skip taken ones.
    do pseudonym = Make(kind, ++counts_[kind], maker);
    while (pseudonyms_.count(pseudonym));
    pseudonyms_.insert(pseudonym);
    index_[{kind, key}] = entries_.size();
    entries_.push_back(Entry{kind, key, pseudonym});
    changed_ = true;
    return entries_.back().pseudonym;
}

bool PseudonymMap::Restore(const Entry& entry) {
    if (entry.original.empty() || index_.count({entry.kind, entry.original}) || pseudonyms_.count(entry.pseudonym))
        return false;
    // The pseudonym must be one this map could have made: its number tells
    // where the count goes on.
    unsigned long n = 0;
    bool ours = false;
    if (entry.kind == MaskKind::kMac) {
        unsigned a = 0, b = 0, c = 0, d = 0, e = 0, f = 0;
        char end;
        ours = entry.pseudonym.size() == 17 &&
               std::sscanf(entry.pseudonym.c_str(), "%2x:%2x:%2x:%2x:%2x:%2x%c", &a, &b, &c, &d, &e, &f, &end) == 6;
        if (ours) n = (static_cast<unsigned long>(d) << 16) | (e << 8) | f;
        ours = ours && n != 0 && entry.pseudonym == Make(entry.kind, n, entry.pseudonym.substr(0, 8));
    } else {
        // Pseudonyms are made in order, so the search is short in practice;
        // the bound keeps a hostile file from costing more.
        const unsigned long limit = entry.kind == MaskKind::kAddress4 ? kIpv4Count : 10000000UL;
        if (entry.kind == MaskKind::kAddress6) {
            const std::string head = "2001:db8::";
            char* end = nullptr;
            if (entry.pseudonym.compare(0, head.size(), head) == 0 && entry.pseudonym.size() > head.size() &&
                entry.pseudonym.size() <= head.size() + 8)
                n = std::strtoul(entry.pseudonym.c_str() + head.size(), &end, 16);
            ours = n != 0 && end && *end == '\0' && entry.pseudonym == Make(entry.kind, n);
        } else if (entry.kind == MaskKind::kAddress4) {
            unsigned a, b, c, d;
            char end;
            if (std::sscanf(entry.pseudonym.c_str(), "%3u.%3u.%3u.%3u%c", &a, &b, &c, &d, &end) == 4) {
                if (a == 192 && b == 0 && c == 2) n = d;
                else if (a == 198 && b == 51 && c == 100) n = 254 + d;
                else if (a == 203 && b == 0 && c == 113) n = 508 + d;
                else if (a == 198 && (b == 18 || b == 19)) n = 762 + (((b - 18UL) << 16) | (c << 8) | d);
            }
            ours = n != 0 && n <= limit && entry.pseudonym == Make(entry.kind, n);
        } else {
            const size_t dash = entry.pseudonym.rfind('-');
            char* end = nullptr;
            if (dash != std::string::npos && dash + 1 < entry.pseudonym.size() && entry.pseudonym.size() - dash <= 9)
                n = std::strtoul(entry.pseudonym.c_str() + dash + 1, &end, 10);
            ours = n != 0 && n <= limit && end && *end == '\0' && entry.pseudonym == Make(entry.kind, n);
        }
    }
    if (!ours) return false;
    if (n > counts_[entry.kind]) counts_[entry.kind] = n;
    pseudonyms_.insert(entry.pseudonym);
    index_[{entry.kind, entry.original}] = entries_.size();
    entries_.push_back(entry);
    return true;
}
