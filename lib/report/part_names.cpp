#include "part_names.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace {

// The words that name a kind of part, longest first where one begins another.
struct KindWord {
    const char* word;     // upper case; one blank between words
    PartKind kind;
    bool plural;          // followed by a list of numbers: "Fans 1, 2"
    bool alone;           // names a part without a number: "RAID controller"
    bool keepWord;        // the word is part of the key: "MC0", "VRM1", "RAID"
};

const KindWord kWords[] = {
    {"DIMMS", PartKind::kDimm, true, false, false},
    {"DIMM", PartKind::kDimm, false, false, false},
    {"PROCESSORS", PartKind::kProcessor, true, false, false},
    {"PROCESSOR", PartKind::kProcessor, false, false, false},
    {"CPUS", PartKind::kProcessor, true, false, false},
    {"CPU", PartKind::kProcessor, false, false, false},
    {"PROC", PartKind::kProcessor, false, false, false},
    {"POWER SUPPLIES", PartKind::kPowerSupply, true, false, false},
    {"POWER SUPPLY", PartKind::kPowerSupply, false, false, false},
    {"PSU", PartKind::kPowerSupply, false, false, false},
    {"PS", PartKind::kPowerSupply, false, false, false},
    {"FANS", PartKind::kFan, true, false, false},
    {"FAN", PartKind::kFan, false, false, false},
    {"DISKS", PartKind::kDisk, true, false, false},
    {"DISK", PartKind::kDisk, false, false, false},
    {"DRIVE", PartKind::kDisk, false, false, false},
    {"HDD", PartKind::kDisk, false, false, false},
    {"SSD", PartKind::kDisk, false, false, false},
    {"RAID CONTROLLER", PartKind::kController, false, true, true},
    {"MANAGEMENT CONTROLLER", PartKind::kManagementController, false, true, false},
    {"CONTROLLER", PartKind::kController, false, false, false},
    {"MC", PartKind::kController, false, false, true},
    {"BMC", PartKind::kManagementController, false, true, false},
    {"SERVICE PROCESSOR", PartKind::kServiceProcessor, false, true, false},
    {"VRM", PartKind::kOther, false, false, true},
};

// Joins a qualifier to the word it qualifies: "CPU1_DIMM_A1", "P1-DIMMA1", "DIMM#0".
bool isJoiner(char c) { return c == '_' || c == '-' || c == '#'; }
bool isAlnum(char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; }
bool isDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }
bool isHex(char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; }
char upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

std::string upperOf(const std::string& text) {
    std::string out(text);
    for (char& c : out) c = upper(c);
    return out;
}

// A word's letters without its blank: "POWERSUPPLY".
std::string compact(const char* word) {
    std::string out;
    for (; *word; ++word)
        if (*word != ' ') out += *word;
    return out;
}

// Upper case, letters and digits only, numbers without leading zeros.
std::string squeezed(const std::string& label) {
    std::string out;
    for (size_t i = 0; i < label.size(); ++i) {
        const char c = label[i];
        if (!isAlnum(c)) continue;
        const bool numberStart = isDigit(c) && (out.empty() || !isDigit(out.back()));
        if (numberStart && c == '0' && i + 1 < label.size() && isDigit(label[i + 1])) continue;
        out += upper(c);
    }
    return out;
}

// "0000:3b:00.0" from "3B:00.0" or "0000:3b:00.0"; empty when it is no PCI address.
std::string pciAddress(const std::string& text, size_t at, size_t* end) {
    auto hexRun = [&text](size_t from, size_t count) {
        for (size_t i = 0; i < count; ++i)
            if (from + i >= text.size() || !isHex(text[from + i])) return false;
        return true;
    };
    size_t p = at;
    std::string domain = "0000";
    if (hexRun(p, 4) && p + 4 < text.size() && text[p + 4] == ':') {
        domain = text.substr(p, 4);
        p += 5;
    }
    if (!hexRun(p, 2) || p + 2 >= text.size() || text[p + 2] != ':' || !hexRun(p + 3, 2) || p + 5 >= text.size() ||
        text[p + 5] != '.' || p + 6 >= text.size() || text[p + 6] < '0' || text[p + 6] > '7')
        return std::string();
    if (p + 7 < text.size() && isAlnum(text[p + 7])) return std::string();
    *end = p + 7;
    std::string address = domain + ":" + text.substr(p, 7);
    for (char& c : address) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return address;
}

// A disk's kernel name ("sda", "nvme0n1", partitions to their disk); empty when none.
std::string diskDevice(const std::string& text, size_t at, size_t* end) {
    size_t p = at;
    while (p < text.size() && isAlnum(text[p])) ++p;
    const std::string word = text.substr(at, p - at);
    size_t letters = 2;
    std::string disk;
    const bool scsi = word.compare(0, 2, "sd") == 0;
    if (scsi || word.compare(0, 2, "vd") == 0) {
        while (letters < word.size() && std::islower(static_cast<unsigned char>(word[letters]))) ++letters;
        if (letters < 3 || letters > (scsi ? 4u : 3u)) return std::string();
        for (size_t i = letters; i < word.size(); ++i)
            if (!isDigit(word[i])) return std::string();
        disk = word.substr(0, letters);
    } else if (word.compare(0, 4, "nvme") == 0) {
        const size_t n = word.find('n', 4);
        if (n == std::string::npos || n == 4 || n + 1 >= word.size() || !isDigit(word[n + 1])) return std::string();
        size_t q = n + 1;
        while (q < word.size() && isDigit(word[q])) ++q;
        disk = word.substr(0, q);
    } else {
        return std::string();
    }
    *end = p;
    return disk;
}

bool keyedByScheme(PartKind kind) { return kind == PartKind::kProcessor || kind == PartKind::kFan; }

// The key of a label of the kind: without a leading word of the kind.
std::string keyOf(PartKind kind, const std::string& label) {
    std::string key = squeezed(label);
    for (const KindWord& word : kWords) {
        if (word.kind != kind || word.plural || word.keepWord) continue;
        const std::string w = compact(word.word);
        if (key.size() > w.size() && key.compare(0, w.size(), w) == 0) return key.substr(w.size());
        if (key == w && word.alone) return std::string();
    }
    return key;
}

PartName made(PartKind kind, const std::string& key, const std::string& label, const std::string& scheme) {
    PartName name;
    name.kind = kind;
    name.key = key;
    name.label = label;
    if (keyedByScheme(kind)) name.scheme = scheme;
    return name;
}

// The number token after a kind word: letters and digits holding a digit, short.
size_t tokenEnd(const std::string& text, size_t at) {
    size_t p = at;
    bool digit = false;
    while (p < text.size() && isAlnum(text[p])) digit = isDigit(text[p++]) || digit;
    return digit && p - at <= 12 ? p : at;
}

bool wordAt(const std::string& upperText, size_t at, const char* word, size_t* end) {
    size_t p = at;
    for (const char* w = word; *w; ++w) {
        if (*w == ' ') {
            if (p >= upperText.size() || (upperText[p] != ' ' && upperText[p] != '_')) return false;
            while (p < upperText.size() && upperText[p] == ' ') ++p;
            if (p < upperText.size() && upperText[p] == '_') ++p;
            continue;
        }
        if (p >= upperText.size() || upperText[p] != *w) return false;
        ++p;
    }
    *end = p;
    return true;
}

class Mentions {
public:
    Mentions(const std::string& scheme) : scheme_(scheme) {}
    void Add(size_t start, PartKind kind, const std::string& key, const std::string& label) {
        // A compound names one part: what its qualifiers named alone goes.
        while (!found_.empty() && starts_.back() >= start) {
            found_.pop_back();
            starts_.pop_back();
        }
        found_.push_back(made(kind, key, label, scheme_));
        starts_.push_back(start);
    }
    std::vector<PartName> Distinct() const {
        std::vector<PartName> out;
        for (const PartName& name : found_) {
            bool seen = false;
            for (const PartName& o : out) seen = seen || (o.kind == name.kind && o.key == name.key);
            if (!seen && out.size() < kMaxNamedParts) out.push_back(name);
        }
        return out;
    }

private:
    std::string scheme_;
    std::vector<PartName> found_;
    std::vector<size_t> starts_;
};

// Where the compound holding position at begins ("CPU1_DIMM_A1").
size_t compoundStart(const std::string& text, size_t at) {
    size_t start = at;
    while (start > 1 && isJoiner(text[start - 1]) && isAlnum(text[start - 2])) {
        start -= 2;
        while (start > 0 && isAlnum(text[start - 1])) --start;
    }
    return start;
}

// A kind word at position at: the mentions it makes; the position after them.
size_t kindWordMentions(const std::string& text, const std::string& u, size_t at, Mentions& mentions) {
    for (const KindWord& word : kWords) {
        size_t after;
        if (!wordAt(u, at, word.word, &after)) continue;
        if (word.plural) {
            // "Fans 1, 2 and 4"
            size_t p = after, last = at;
            for (;;) {
                size_t q = p;
                while (q < u.size() && u[q] == ' ') ++q;
                const size_t end = tokenEnd(u, q);
                if (end == q || (end < u.size() && isAlnum(u[end]))) break;
                bool digits = true;
                for (size_t i = q; i < end; ++i) digits = digits && isDigit(u[i]);
                if (!digits) break;
                const std::string number = text.substr(q, end - q);
                mentions.Add(q, word.kind, squeezed(number), text.substr(at, after - at) + " " + number);
                last = p = end;
                if (u.compare(p, 2, ", ") == 0) p += 2;
                else if (u.compare(p, 5, " AND ") == 0) p += 5;
                else break;
            }
            if (last != at) return last;
            continue;
        }
        size_t tokenStart = after;
        if (after < u.size() && isAlnum(u[after])) {
            // Glued: "PSU1", "DIMMA1"; a letter only as a DIMM's bank.
            if (!isDigit(u[after]) && !(word.kind == PartKind::kDimm && after + 1 < u.size() && isDigit(u[after + 1])))
                continue;
        } else {
            while (tokenStart < u.size() && (u[tokenStart] == ' ' || isJoiner(u[tokenStart]))) ++tokenStart;
            if (tokenStart - after > 2) tokenStart = after;
        }
        size_t end = tokenEnd(u, tokenStart);
        if (end == tokenStart) {
            if (!word.alone || (after < u.size() && isAlnum(u[after]))) continue;
            end = after;
        }
        const size_t start = compoundStart(text, at);
        const std::string label = text.substr(start, end - start);
        std::string key = word.keepWord ? squeezed(label) : keyOf(word.kind, label);
        if (word.kind == PartKind::kController && word.keepWord && end == after) key = "RAID";
        mentions.Add(start, word.kind, key, label);
        return end;
    }
    return at;
}


// Phrases of the Tolm decoders that name parts by a list after a lead of their
// own: "VRMs on CPU 1, Planar failed" (the regulators failed, not the parts
// they feed); "DASD backplane 2: devices 12, 13 missing" (disks by device).
struct PhraseItem {
    size_t at;
    PartKind kind;
    std::string key, label;
};
struct Phrase {
    size_t from, to;
    std::vector<PhraseItem> items;
};

std::vector<Phrase> phrasesIn(const std::string& text, const std::string& u) {
    std::vector<Phrase> phrases;
    for (const char* lead : {"VRMS ON ", "VRM ON "}) {
        const size_t on = u.find(lead);
        if (on == std::string::npos || (on > 0 && isAlnum(u[on - 1]))) continue;
        Phrase phrase{on, std::min(u.find(" FAILED", on), u.size()), {}};
        for (size_t item = on + std::strlen(lead); item < phrase.to;) {
            const size_t comma = std::min(u.find(", ", item), phrase.to);
            const std::string name = text.substr(item, comma - item);
            if (!squeezed(name).empty())
                phrase.items.push_back({item, PartKind::kOther, "VRM" + squeezed(name), "VRM on " + name});
            item = comma + 2;
        }
        phrases.push_back(phrase);
        break;
    }
    const std::string backplane = "DASD BACKPLANE ";
    for (size_t on = u.find(backplane); on != std::string::npos; on = u.find(backplane, on + 1)) {
        size_t p = u.find(": DEVICE", on);
        if (p == std::string::npos || p > on + backplane.size() + 3) continue;
        p += 8;
        if (p < u.size() && u[p] == 'S') ++p;
        Phrase phrase{on, p, {}};
        for (;;) {
            while (p < u.size() && u[p] == ' ') ++p;
            size_t end = p;
            while (end < u.size() && isDigit(u[end])) ++end;
            if (end == p) break;
            const std::string number = text.substr(p, end - p);
            phrase.items.push_back({p, PartKind::kDisk, "DASD" + squeezed(number), "DASD device " + number});
            phrase.to = end;
            if (u.compare(end, 2, ", ") != 0) break;
            p = end + 2;
        }
        phrases.push_back(phrase);
    }
    std::sort(phrases.begin(), phrases.end(), [](const Phrase& a, const Phrase& b) { return a.from < b.from; });
    return phrases;
}
}  // namespace

const char* PartKindName(PartKind kind) {
    switch (kind) {
    case PartKind::kDimm: return "DIMM";
    case PartKind::kProcessor: return "Processor";
    case PartKind::kDisk: return "Disk";
    case PartKind::kPowerSupply: return "Power supply";
    case PartKind::kFan: return "Fan";
    case PartKind::kPcieDevice: return "PCIe device";
    case PartKind::kController: return "Controller";
    case PartKind::kServiceProcessor: return "Service processor";
    case PartKind::kManagementController: return "Management controller";
    case PartKind::kOther: return "Other";
    }
    return "Other";
}

bool NamePart(PartKind kind, const std::string& label, const std::string& scheme, PartName* name) {
    const size_t first = label.find_first_not_of(" \t");
    if (first == std::string::npos) return false;
    const std::string trimmed = label.substr(first, label.find_last_not_of(" \t") - first + 1);
    std::string key;
    size_t end = 0;
    if (kind == PartKind::kPcieDevice) {
        key = pciAddress(trimmed, 0, &end);
        if (end != trimmed.size()) key.clear();
    } else if (kind == PartKind::kDisk) {
        std::string device = trimmed;
        for (const char* prefix : {"/dev/", "\\\\.\\"})
            if (device.compare(0, std::strlen(prefix), prefix) == 0) device.erase(0, std::strlen(prefix));
        key = diskDevice(device, 0, &end);
        if (!key.empty() && end == device.size()) key = upperOf(key);
        else key.clear();
    }
    if (key.empty()) key = keyOf(kind, trimmed);
    if (key.empty() && kind != PartKind::kManagementController && kind != PartKind::kServiceProcessor) return false;
    *name = made(kind, key, trimmed, scheme);
    return true;
}

std::vector<PartName> PartsNamedIn(const std::string& text, const std::string& scheme) {
    const std::string u = upperOf(text);
    Mentions mentions(scheme);
    std::vector<Phrase> phrases = phrasesIn(text, u);
    size_t at = 0, next = 0;   // next: the phrase to come
    while (at < u.size()) {
        if (next < phrases.size() && at >= phrases[next].from) {
            for (const PhraseItem& item : phrases[next].items)
                mentions.Add(item.at, item.kind, item.key, item.label);
            at = std::max(at, phrases[next++].to);
            continue;
        }
        if (at > 0 && isAlnum(u[at - 1])) {
            ++at;
            continue;
        }
        size_t end = at;
        const std::string address = pciAddress(text, at, &end);
        if (!address.empty()) {
            mentions.Add(at, PartKind::kPcieDevice, address, text.substr(at, end - at));
            at = end;
            continue;
        }
        const std::string disk = diskDevice(text, at, &end);
        if (!disk.empty()) {
            mentions.Add(at, PartKind::kDisk, upperOf(disk), disk);
            at = end;
            continue;
        }
        const size_t after = kindWordMentions(text, u, at, mentions);
        at = after > at ? after : at + 1;
    }
    return mentions.Distinct();
}
