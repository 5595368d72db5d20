#ifndef NORBIX_TOKEN_FINDER_H
#define NORBIX_TOKEN_FINDER_H

#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "mask_kind.h"

// A value to mask inside a text: always a whole token, never part of a longer
// word, number or address.
struct MaskToken {
    size_t pos;
    size_t len;
    MaskKind kind;
    std::string key;   // the value normalised for the pseudonym map
};

// Finds the values to mask in a text, of the kinds chosen: IPv4 and IPv6
// addresses (a "/prefix" after one stays), MACs (':' or '-' pairs), host
// names (any value learnt as a host, and dotted names that end in a
// top-level domain), user names (values learnt as users, and the word after
// "user", "user=" or "username:"), serial numbers and extra words learnt, all
// compared without regard to case. Addresses that identify nothing (loopback,
// unspecified, netmasks, multicast) and the documentation ranges pseudonyms
// come from are left, and so is any text the skip test accepts (pseudonyms
// already made), so masking a masked text changes nothing.
class TokenFinder {
public:
    explicit TokenFinder(const MaskChoice& choice) : choice_(choice) {}

    // A known value; one of a kind not chosen is ignored (words always count).
    void AddKnown(MaskKind kind, const std::string& value);
    size_t KnownCount() const { return known_.size(); }
    void SetSkip(std::function<bool(const std::string&)> skip) { skip_ = std::move(skip); }

    // withAddresses false leaves dotted numbers alone (a version is no address).
    std::vector<MaskToken> Find(const std::string& text, bool withAddresses = true) const;

    // The single matchers, for the tests: the length of the token at pos, 0
    // when there is none; *key receives the normalised value.
    static size_t MatchIpv4(const std::string& text, size_t pos, std::string* key);
    static size_t MatchIpv6(const std::string& text, size_t pos, std::string* key);
    static size_t MatchMac(const std::string& text, size_t pos, std::string* key);
    static size_t MatchDomainName(const std::string& text, size_t pos);

private:
    size_t matchKnown(const std::string& text, size_t pos, MaskKind* kind, std::string* key) const;
    size_t matchUserAfterKeyword(const std::string& text, size_t pos) const;
    bool skipped(const std::string& token) const;

    MaskChoice choice_;
    std::unordered_map<std::string, MaskKind> known_;
    // Known values of more than one word, by their first word.
    std::unordered_map<std::string, std::vector<std::string> > phrases_;
    std::function<bool(const std::string&)> skip_;
};

// The text in lower case (ASCII only; other bytes stay).
std::string LowerAscii(const std::string& text);

#endif
