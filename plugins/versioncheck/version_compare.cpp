#include "version_compare.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace {

bool isDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }
bool isSeparator(char c) { return c == '.' || c == '-' || c == '_' || c == ' '; }

// The version as parts: runs of digits (without leading zeros) and single
// other characters (in lower case); separators dropped.
std::vector<std::pair<bool, std::string> > parts(const std::string& version) {
    std::vector<std::pair<bool, std::string> > out;
    for (size_t at = 0; at < version.size();) {
        if (isSeparator(version[at])) {
            ++at;
        } else if (isDigit(version[at])) {
            size_t end = at;
            while (end < version.size() && isDigit(version[end])) ++end;
            std::string digits = version.substr(at, end - at);
            digits.erase(0, std::min(digits.find_first_not_of('0'), digits.size() - 1));
            out.push_back({true, digits});
            at = end;
        } else {
            out.push_back({false, std::string(1, static_cast<char>(std::tolower(static_cast<unsigned char>(version[at]))))});
            ++at;
        }
    }
    return out;
}

}  // namespace

int CompareVersions(const std::string& a, const std::string& b) {
    const auto pa = parts(a);
    const auto pb = parts(b);
    for (size_t i = 0; i < pa.size() && i < pb.size(); ++i) {
        const auto& x = pa[i];
        const auto& y = pb[i];
        if (x.first && y.first) {
            if (x.second.size() != y.second.size()) return x.second.size() < y.second.size() ? -1 : 1;
            if (x.second != y.second) return x.second < y.second ? -1 : 1;
        } else if (x.first != y.first) {
            return x.first ? 1 : -1;   // a number is newer than a letter in its place
        } else if (x.second != y.second) {
            return x.second < y.second ? -1 : 1;
        }
    }
    if (pa.size() == pb.size()) return 0;
    return pa.size() < pb.size() ? -1 : 1;
}
