#ifndef NORBIX_PSEUDONYM_MAP_H
#define NORBIX_PSEUDONYM_MAP_H

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "mask_kind.h"

// One pseudonym per distinct value of a kind, handed out in order and kept:
// host-0001, user-0001, serial-0001, word-0001; IPv4 addresses from the
// documentation ranges (192.0.2.1-254, then 198.51.100.x, 203.0.113.x, then
// the benchmarking range 198.18.0.0/15); IPv6 2001:db8::1 on; MACs
// 02:00:00:00:00:01 on (locally administered), or the maker's three bytes
// followed by the count when asked. Keys are normalised: hosts, words and
// MACs in lower case, MACs with ':'.
class PseudonymMap {
public:
    struct Entry {
        MaskKind kind;
        std::string original;
        std::string pseudonym;
    };

    // The pseudonym of a normalised value, made when it is new. Throws
    // std::length_error when a kind has no pseudonym left.
    const std::string& PseudonymOf(MaskKind kind, const std::string& key, bool keepMacMaker = false);
    // Adds an entry read back from a map file; false when its pseudonym is not
    // of its kind's form or is taken already, or the value is there twice.
    bool Restore(const Entry& entry);
    // True when the text is one of the pseudonyms handed out.
    bool IsPseudonym(const std::string& text) const { return pseudonyms_.count(text) != 0; }
    // Every entry in the order it was made.
    const std::vector<Entry>& Entries() const { return entries_; }
    bool Changed() const { return changed_; }
    void MarkSaved() { changed_ = false; }

    // The pseudonym of the n-th value (from 1) of a kind; the MAC's first three
    // bytes come from maker (lower-case "xx:xx:xx") or are 02:00:00.
    static std::string Make(MaskKind kind, unsigned long n, const std::string& maker = std::string());

private:
    std::map<std::pair<MaskKind, std::string>, size_t> index_;   // into entries_
    std::set<std::string> pseudonyms_;
    std::map<MaskKind, unsigned long> counts_;
    std::vector<Entry> entries_;
    bool changed_ = false;
};

#endif
