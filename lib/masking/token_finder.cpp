#include "token_finder.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isAlnum(char c) { return isDigit(c) || isAlpha(c); }
bool isHex(char c) { return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
// Bytes that continue a word: a token ends where they stop.
bool isWordByte(char c) { return isAlnum(c) || c == '_' || c == '-'; }
bool isNameByte(char c) { return isWordByte(c) || c == '.'; }
char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

char at(const std::string& text, size_t pos) { return pos < text.size() ? text[pos] : '\0'; }
char before(const std::string& text, size_t pos) { return pos > 0 ? text[pos - 1] : '\0'; }

// The run of name bytes from pos, without the dots and dashes that end a sentence.
size_t nameRun(const std::string& text, size_t pos) {
    size_t end = pos;
    while (end < text.size() && end - pos < 256 && isNameByte(text[end])) ++end;
    while (end > pos && (text[end - 1] == '.' || text[end - 1] == '-')) --end;
    return end - pos;
}

const char* const kTopLevelDomains[] = {"com",      "net",  "org",   "edu",     "gov",     "mil",     "int",
                                        "info",     "biz",  "local", "lan",     "corp",    "internal",
                                        "intranet", "intra", "home", "example", "test",    "invalid",
                                        "localdomain", "arpa", "cloud", "io"};
// Two letters that end file names far more often than host names.
const char* const kFileEndings[] = {"gz", "so", "js", "py", "sh", "pl", "rb", "cs", "md", "ko",
                                    "db", "mo", "po", "cc", "pm", "ps", "xz", "bz", "ui"};

bool inList(const std::string& word, const char* const* list, size_t count) {
    for (size_t i = 0; i < count; ++i)
        if (word == list[i]) return true;
    return false;
}

// Words after "user" that are no name.
const char* const kNotNames[] = {"from", "for",  "to",      "the",     "a",      "an",      "is",     "was",
                                 "not",  "none", "unknown", "root",    "name",   "names",   "id",     "logged",
                                 "session", "account", "accounts", "user", "users", "authentication", "login",
                                 "with", "by",   "on",      "in",      "at",     "of",      "and",    "or",
                                 "has",  "had",  "changed", "added",   "deleted", "removed", "created",
                                 "password", "mode", "space", "data", "request", "process", "manager"};

bool isStopValue(const std::string& key) {
    static const char* const kStops[] = {"root", "system", "nobody", "unknown", "none", "n/a", "localhost",
                                         "default", "administrator", "admin", "guest", "local", "null", "true",
                                         "false", "workgroup"};
    return inList(key, kStops, sizeof kStops / sizeof kStops[0]);
}

bool parseIpv4(const std::string& text, size_t pos, size_t* len, unsigned octets[4]) {
    size_t p = pos;
    for (int i = 0; i < 4; ++i) {
        if (i > 0) {
            if (at(text, p) != '.') return false;
            ++p;
        }
        size_t digits = 0;
        unsigned value = 0;
        while (isDigit(at(text, p)) && digits < 4) {
            value = value * 10 + static_cast<unsigned>(text[p] - '0');
            ++p;
            ++digits;
        }
        if (digits == 0 || digits > 3 || value > 255) return false;
        octets[i] = value;
    }
    *len = p - pos;
    return true;
}

bool ipv4Ends(const std::string& text, size_t end) {
    const char next = at(text, end);
    if (isAlnum(next) || next == '_') return false;
    return !(next == '.' && isAlnum(at(text, end + 1)));
}

bool hexGroup(const std::string& group) {
    if (group.empty() || group.size() > 4) return false;
    for (char c : group)
        if (!isHex(c)) return false;
    return true;
}

// Groups of one side of "::"; the last of the address may be dotted IPv4.
bool ipv6Groups(const std::string& part, bool lastOfAddress, size_t* groups) {
    *groups = 0;
    if (part.empty()) return true;
    size_t start = 0;
    while (true) {
        const size_t colon = part.find(':', start);
        const std::string group = part.substr(start, colon == std::string::npos ? std::string::npos : colon - start);
        if (colon == std::string::npos && lastOfAddress && group.find('.') != std::string::npos) {
            size_t len = 0;
            unsigned octets[4];
            if (!parseIpv4(group, 0, &len, octets) || len != group.size()) return false;
            *groups += 2;
            return true;
        }
        if (!hexGroup(group)) return false;
        ++*groups;
        if (colon == std::string::npos) return true;
        start = colon + 1;
    }
}

bool validIpv6(const std::string& s) {
    if (std::count(s.begin(), s.end(), ':') < 2) return false;
    const size_t twice = s.find("::");
    if (twice == std::string::npos) {
        size_t groups = 0;
        return ipv6Groups(s, true, &groups) && groups == 8;
    }
    if (s.find("::", twice + 1) != std::string::npos) return false;
    size_t left = 0, right = 0;
    const std::string rightPart = s.substr(twice + 2);
    return ipv6Groups(s.substr(0, twice), rightPart.empty(), &left) && ipv6Groups(rightPart, true, &right) &&
           left + right <= 7;
}

}  // namespace

std::string LowerAscii(const std::string& text) {
    std::string result(text);
    for (char& c : result) c = lower(c);
    return result;
}

size_t TokenFinder::MatchIpv4(const std::string& text, size_t pos, std::string* key) {
    const char prev = before(text, pos);
    if (isAlnum(prev) || prev == '_' || prev == '.') return 0;
    size_t len = 0;
    unsigned o[4];
    if (!parseIpv4(text, pos, &len, o) || !ipv4Ends(text, pos + len)) return 0;
    *key = std::to_string(o[0]) + "." + std::to_string(o[1]) + "." + std::to_string(o[2]) + "." + std::to_string(o[3]);
    return len;
}

size_t TokenFinder::MatchIpv6(const std::string& text, size_t pos, std::string* key) {
    const char prev = before(text, pos);
    if (isAlnum(prev) || prev == '_' || prev == '.' || prev == ':') return 0;
    size_t end = pos;
    while (end < text.size() && end - pos < 64 && (isHex(text[end]) || text[end] == ':' || text[end] == '.')) ++end;
    std::string run = text.substr(pos, end - pos);
    // A sentence may end right after the address.
    while (run.size() > 2 && !validIpv6(run) &&
           (run.back() == '.' || (run.back() == ':' && run[run.size() - 2] != ':')))
        run.pop_back();
    if (!validIpv6(run)) return 0;
    const char next = at(text, pos + run.size());
    if (isAlnum(next) || next == '_') return 0;
    *key = LowerAscii(run);
    return run.size();
}

size_t TokenFinder::MatchMac(const std::string& text, size_t pos, std::string* key) {
    const char prev = before(text, pos);
    if (isAlnum(prev) || prev == '_' || prev == '.' || prev == ':' || prev == '-') return 0;
    if (pos + 17 > text.size()) return 0;
    const char separator = text[pos + 2];
    if (separator != ':' && separator != '-') return 0;
    std::string normal;
    for (int i = 0; i < 6; ++i) {
        const size_t p = pos + 3 * i;
        if (!isHex(text[p]) || !isHex(text[p + 1])) return 0;
        if (i < 5 && text[p + 2] != separator) return 0;
        if (i > 0) normal += ':';
        normal += lower(text[p]);
        normal += lower(text[p + 1]);
    }
    const char next = at(text, pos + 17);
    if (isAlnum(next) || next == '_' || ((next == ':' || next == '-') && isHex(at(text, pos + 18)))) return 0;
    *key = normal;
    return 17;
}

size_t TokenFinder::MatchDomainName(const std::string& text, size_t pos) {
    const char prev = before(text, pos);
    if (isNameByte(prev) || !isAlnum(at(text, pos))) return 0;
    const size_t len = nameRun(text, pos);
    const std::string name = LowerAscii(text.substr(pos, len));
    size_t labels = 0;
    size_t start = 0;
    std::string last;
    while (true) {
        const size_t dot = name.find('.', start);
        const std::string label = name.substr(start, dot == std::string::npos ? std::string::npos : dot - start);
        if (label.empty() || label.size() > 63) return 0;
        ++labels;
        if (dot == std::string::npos) {
            last = label;
            break;
        }
        start = dot + 1;
    }
    if (labels < 2) return 0;
    for (char c : last)
        if (!isAlpha(c)) return 0;
    const bool known = inList(last, kTopLevelDomains, sizeof kTopLevelDomains / sizeof kTopLevelDomains[0]);
    const bool country = last.size() == 2 && labels >= 3 &&
                         !inList(last, kFileEndings, sizeof kFileEndings / sizeof kFileEndings[0]);
    return known || country ? len : 0;
}

void TokenFinder::AddKnown(MaskKind kind, const std::string& value) {
    const bool wanted = kind == MaskKind::kWord || (kind == MaskKind::kHost && choice_.hosts) ||
                        (kind == MaskKind::kUser && choice_.users) || (kind == MaskKind::kSerial && choice_.serials);
    if (!wanted) return;
    const size_t first = value.find_first_not_of(" \t");
    if (first == std::string::npos) return;
    const std::string key = LowerAscii(value.substr(first, value.find_last_not_of(" \t") - first + 1));
    // Too short to be told apart from ordinary words, or no name at all.
    if (key.size() < 2 || key.size() > 255 || isStopValue(key)) return;
    if (!isWordByte(key.front()) || !isWordByte(key.back())) return;
    if (kind != MaskKind::kSerial && kind != MaskKind::kWord &&
        std::all_of(key.begin(), key.end(), [](char c) { return isDigit(c) || c == '.' || c == '-'; }))
        return;
    if (known_.count(key)) return;
    known_[key] = kind;
    const size_t space = key.find_first_of(" \t");
    if (space == std::string::npos) return;
    std::vector<std::string>& list = phrases_[key.substr(0, space)];
    list.push_back(key);
    std::sort(list.begin(), list.end(), [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
}

size_t TokenFinder::matchKnown(const std::string& text, size_t pos, MaskKind* kind, std::string* key) const {
    if (known_.empty()) return 0;
    const size_t run = nameRun(text, pos);
    if (run == 0) return 0;
    std::string candidate = LowerAscii(text.substr(pos, run));
    // Phrases first: they are longer than their first word.
    if (!phrases_.empty()) {
        size_t wordEnd = 0;
        while (wordEnd < candidate.size() && isWordByte(candidate[wordEnd])) ++wordEnd;
        const auto found = phrases_.find(candidate.substr(0, wordEnd));
        if (found != phrases_.end()) {
            for (const std::string& phrase : found->second) {
                if (pos + phrase.size() > text.size() || isWordByte(at(text, pos + phrase.size()))) continue;
                if (LowerAscii(text.substr(pos, phrase.size())) != phrase) continue;
                *kind = known_.at(phrase);
                *key = phrase;
                return phrase.size();
            }
        }
    }
    // The whole dotted name, then shorter ones cut at a dot.
    while (!candidate.empty()) {
        const auto found = known_.find(candidate);
        if (found != known_.end()) {
            *kind = found->second;
            *key = candidate;
            return candidate.size();
        }
        const size_t dot = candidate.rfind('.');
        if (dot == std::string::npos) break;
        candidate.erase(dot);
    }
    return 0;
}

size_t TokenFinder::matchUserAfterKeyword(const std::string& text, size_t pos) const {
    size_t p = pos;
    size_t separators = 0;
    while (p > 0 && separators < 2 && std::strchr(" =:'\"", text[p - 1]) && text[p - 1] != '\0') {
        --p;
        ++separators;
    }
    if (separators == 0) return 0;
    size_t wordStart = p;
    while (wordStart > 0 && (isAlpha(text[wordStart - 1]) || text[wordStart - 1] == '_')) --wordStart;
    if (wordStart == p || isAlnum(before(text, wordStart))) return 0;
    const std::string word = LowerAscii(text.substr(wordStart, p - wordStart));
    if (word != "user" && word != "username" && word != "user_name" && word != "logname") return 0;
    const size_t len = nameRun(text, pos);
    const std::string name = LowerAscii(text.substr(pos, len));
    if (name.empty() || !std::any_of(name.begin(), name.end(), isAlpha) ||
        inList(name, kNotNames, sizeof kNotNames / sizeof kNotNames[0]))
        return 0;
    return len;
}

bool TokenFinder::skipped(const std::string& token) const { return skip_ && skip_(token); }

std::vector<MaskToken> TokenFinder::Find(const std::string& text, bool withAddresses) const {
    const bool addresses = choice_.addresses && withAddresses;
    std::vector<MaskToken> tokens;
    size_t pos = 0;
    while (pos < text.size()) {
        const char c = text[pos];
        if (!(isWordByte(c) || c == ':') || isWordByte(before(text, pos))) {
            ++pos;
            continue;
        }
        size_t len = 0;
        MaskKind kind = MaskKind::kWord;
        std::string key;
        bool keep = false;   // an address that identifies nothing
        if (choice_.macs && isHex(c) && (len = MatchMac(text, pos, &key)) != 0) {
            kind = MaskKind::kMac;
            keep = key == "00:00:00:00:00:00" || key == "ff:ff:ff:ff:ff:ff";
        } else if (addresses && (isHex(c) || c == ':') && (len = MatchIpv6(text, pos, &key)) != 0) {
            kind = MaskKind::kAddress6;
            keep = key == "::" || key == "::1" || key.compare(0, 9, "2001:db8:") == 0 || key.compare(0, 2, "ff") == 0;
        } else if (addresses && isDigit(c) && (len = MatchIpv4(text, pos, &key)) != 0) {
            kind = MaskKind::kAddress4;
            unsigned a = 0, b = 0, d = 0;
            std::sscanf(key.c_str(), "%u.%u.%u", &a, &b, &d);
            keep = a == 0 || a == 127 || a >= 224 || (a == 192 && b == 0 && d == 2) ||
                   (a == 198 && b == 51 && d == 100) || (a == 203 && b == 0 && d == 113) ||
                   (a == 198 && (b == 18 || b == 19));
        } else if (isWordByte(c)) {
            MaskKind knownKind = MaskKind::kWord;
            std::string knownKey;
            const size_t known = matchKnown(text, pos, &knownKind, &knownKey);
            const size_t domain = choice_.hosts ? MatchDomainName(text, pos) : 0;
            const size_t user = choice_.users && known == 0 && domain == 0 ? matchUserAfterKeyword(text, pos) : 0;
            if (known != 0 && known >= domain) {
                len = known;
                kind = knownKind;
                key = knownKey;
            } else if (domain != 0) {
                len = domain;
                kind = MaskKind::kHost;
                key = LowerAscii(text.substr(pos, len));
            } else if (user != 0) {
                len = user;
                kind = MaskKind::kUser;
                key = LowerAscii(text.substr(pos, len));
            }
        }
        if (len == 0) {
            ++pos;
            continue;
        }
        if (!keep && !skipped(text.substr(pos, len)) && !skipped(key)) tokens.push_back(MaskToken{pos, len, kind, key});
        pos += len;
    }
    return tokens;
}
