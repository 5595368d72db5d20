#include "mask_kind.h"

namespace {

const struct {
    MaskKind kind;
    const char* name;
} kKindNames[] = {
    {MaskKind::kHost, "host"},     {MaskKind::kAddress4, "ipv4"}, {MaskKind::kAddress6, "ipv6"},
    {MaskKind::kMac, "mac"},       {MaskKind::kUser, "user"},     {MaskKind::kSerial, "serial"},
    {MaskKind::kWord, "word"},
};

std::string trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return std::string();
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

}  // namespace

const char* MaskKindName(MaskKind kind) {
    for (const auto& entry : kKindNames)
        if (entry.kind == kind) return entry.name;
    return "word";
}

bool MaskKindFromName(const std::string& name, MaskKind* kind) {
    for (const auto& entry : kKindNames) {
        if (name == entry.name) {
            *kind = entry.kind;
            return true;
        }
    }
    return false;
}

bool ParseMaskChoice(const std::string& text, MaskChoice* choice, std::string* bad) {
    MaskChoice result;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t comma = text.find(',', start);
        const std::string word = trimmed(text.substr(start, comma == std::string::npos ? std::string::npos
                                                                                       : comma - start));
        if (word == "all") {
            // Support needs serial numbers to find the machine: only named, they go.
            result.hosts = result.addresses = result.macs = result.users = true;
        } else if (word == "hosts") {
            result.hosts = true;
        } else if (word == "addresses") {
            result.addresses = true;
        } else if (word == "macs") {
            result.macs = true;
        } else if (word == "users") {
            result.users = true;
        } else if (word == "serials") {
            result.serials = true;
        } else if (word == "keep-mac-maker") {
            result.macs = result.keepMacMaker = true;
        } else if (!word.empty()) {
            *bad = word;
            return false;
        }
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    *choice = result;
    return true;
}
