#include "sp_image.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <sstream>
#include <utility>

#include "wyxcore/datetime.h"

namespace {

struct Malformed {
    std::string reason;
};

// Into words, whose room is kept from line to line: an image has a line per entry.
void wordsOf(const std::string& line, std::vector<std::string>* words) {
    size_t count = 0;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
        if (i == start) continue;
        if (count == words->size()) words->emplace_back();
        (*words)[count++].assign(line, start, i - start);
    }
    words->resize(count);
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::vector<unsigned char> bytesOf(const std::vector<std::string>& words, size_t from) {
    std::vector<unsigned char> bytes;
    bytes.reserve(words.size() - std::min(from, words.size()));
    for (size_t i = from; i < words.size(); ++i) {
        const std::string& w = words[i];
        if (w.size() != 2 || hexDigit(w[0]) < 0 || hexDigit(w[1]) < 0)
            throw Malformed{"'" + w + "' is not a hex byte"};
        bytes.push_back(static_cast<unsigned char>(hexDigit(w[0]) * 16 + hexDigit(w[1])));
    }
    return bytes;
}

void expectWords(const std::vector<std::string>& words, size_t count) {
    if (words.size() < count) throw Malformed{words[0] + " needs a value"};
    if (words.size() > count) throw Malformed{"unexpected '" + words[count] + "' after " + words[0]};
}

bool yesNo(const std::vector<std::string>& words, const char* yes, const char* no) {
    expectWords(words, 2);
    if (words[1] == yes) return true;
    if (words[1] == no) return false;
    throw Malformed{words[0] + " must be " + yes + " or " + no};
}

int boxIdOf(const std::vector<std::string>& words) {
    expectWords(words, 2);
    const std::string& w = words[1];
    const bool hex = w.size() > 2 && w[0] == '0' && (w[1] == 'x' || w[1] == 'X');
    const std::string digits = hex ? w.substr(2) : w;
    bool ok = !digits.empty();
    for (char c : digits) ok = ok && (hex ? hexDigit(c) >= 0 : (c >= '0' && c <= '9'));
    errno = 0;
    const long value = ok ? std::strtol(digits.c_str(), nullptr, hex ? 16 : 10) : 0;
    if (!ok || errno == ERANGE || value > INT_MAX) throw Malformed{"bad box ID '" + w + "'"};
    return static_cast<int>(value);
}

// clock / timezone: HEX.. | empty | fail
SpReply fixedReply(const std::vector<std::string>& words) {
    if (words.size() < 2) throw Malformed{words[0] + " needs a value"};
    SpReply reply;
    if (words[1] == "empty" || words[1] == "fail") {
        expectWords(words, 2);
        reply.ok = words[1] == "empty";
        return reply;
    }
    reply.ok = true;
    reply.bytes = bytesOf(words, 1);
    return reply;
}

// clock now [+|-SECONDS]: relative to the system's clock when read
SpClock clockOf(const std::vector<std::string>& words) {
    SpClock clock;
    if (words.size() < 2 || words[1] != "now") {
        clock.fixed = fixedReply(words);
        return clock;
    }
    clock.relative = true;
    if (words.size() == 2) return clock;
    expectWords(words, 3);
    const std::string& w = words[2];
    const bool signed_ = w[0] == '+' || w[0] == '-';
    bool ok = w.size() > (signed_ ? 1u : 0u) && w.size() <= 12;
    for (size_t i = signed_ ? 1 : 0; i < w.size(); ++i) ok = ok && w[i] >= '0' && w[i] <= '9';
    if (!ok) throw Malformed{"bad clock offset '" + w + "'"};
    clock.offsetSeconds = std::strtoll(w.c_str(), nullptr, 10);
    return clock;
}

// entry [HEX..] | entry fail [HEX..]
SpReply entryReply(const std::vector<std::string>& words) {
    SpReply reply;
    reply.ok = !(words.size() > 1 && words[1] == "fail");
    reply.bytes = bytesOf(words, reply.ok ? 1 : 2);
    return reply;
}

struct Parser {
    SpImage image;
    bool seen[6] = {false, false, false, false, false, false};
    bool inProcessor = false;
    bool clockSeen = false, timezoneSeen = false;
    int firstLooseEntryLine = 0;   // an entry before any processor
    int firstProcessorLine = 0;

    void once(int slot, const std::string& name) {
        if (seen[slot]) throw Malformed{name + " given twice"};
        seen[slot] = true;
    }

    void line(const std::vector<std::string>& w, int number) {
        const std::string& key = w[0];
        if (key == "kind") {
            once(0, key);
            expectWords(w, 2);
            if (w[1] == "dot") image.kind = SpImage::Dot;
            else if (w[1] == "tolm") image.kind = SpImage::Tolm;
            else if (w[1] == "none") image.kind = SpImage::None;
            else throw Malformed{"kind must be dot, tolm or none"};
        } else if (key == "comm") {
            once(1, key);
            image.commOk = yesNo(w, "ok", "fail");
        } else if (key == "qmxstop") {
            once(2, key);
            image.qmxStop = yesNo(w, "yes", "no");
        } else if (key == "ulklibrary") {
            once(3, key);
            image.ulkLibrary = yesNo(w, "yes", "no");
        } else if (key == "boxid") {
            once(4, key);
            image.boxId = boxIdOf(w);
        } else if (key == "firmware") {
            once(5, key);
            if (w.size() < 2) throw Malformed{key + " needs a value"};
            for (size_t i = 1; i < w.size(); ++i) image.firmware += (i > 1 ? " " : "") + w[i];
        } else if (key == "processor") {
            expectWords(w, 1);
            image.processors.push_back(SpProcessor());
            inProcessor = true;
            clockSeen = timezoneSeen = false;
            if (!firstProcessorLine) firstProcessorLine = number;
        } else if (key == "clock" || key == "timezone") {
            if (!inProcessor) throw Malformed{key + " outside a processor"};
            bool& seenHere = key == "clock" ? clockSeen : timezoneSeen;
            if (seenHere) throw Malformed{key + " given twice for this processor"};
            seenHere = true;
            SpProcessor& p = image.processors.back();
            if (key == "clock") p.clock = clockOf(w);
            else p.timezone = fixedReply(w);
        } else if (key == "entry") {
            if (inProcessor) {
                image.processors.back().entries.push_back(entryReply(w));
            } else {
                image.travEntries.push_back(entryReply(w));
                if (!firstLooseEntryLine) firstLooseEntryLine = number;
            }
        } else {
            throw Malformed{"unknown directive '" + key + "'"};
        }
    }
};

std::string lineError(int number, const std::string& reason) {
    std::ostringstream text;
    text << "line " << number << ": " << reason;
    return text.str();
}

}  // namespace

bool parseSpImage(const std::string& text, SpImage* image, std::string* error) {
    Parser parser;
    int number = 0;
    size_t pos = 0;
    std::string line;
    std::vector<std::string> words;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        line.assign(text, pos, end - pos);
        pos = end + 1;
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const size_t hash = line.find('#');
        if (hash != std::string::npos) line.erase(hash);
        wordsOf(line, &words);
        if (words.empty()) continue;
        try {
            parser.line(words, number);
        } catch (const Malformed& bad) {
            *error = lineError(number, bad.reason);
            return false;
        }
    }
    if (parser.image.kind == SpImage::Dot && parser.firstLooseEntryLine) {
        *error = lineError(parser.firstLooseEntryLine, "entry before the first processor");
        return false;
    }
    if (parser.image.kind != SpImage::Dot && parser.firstProcessorLine) {
        *error = lineError(parser.firstProcessorLine, "processor in an image that is not of kind dot");
        return false;
    }
    *image = std::move(parser.image);
    return true;
}

SpReply clockReplyAt(const SpClock& clock, long long utcNow) {
    if (!clock.relative) return clock.fixed;
    const long long at = utcNow + clock.offsetSeconds;
    SpReply reply;
    // Before 1970 or past the year the reply's byte holds, the clock cannot be read.
    if (at < 0 || at / 86400 > 93000) return reply;
    TCIMDateTime epoch, since;
    epoch.Set(1970, 1, 1, 0, 0, 0, 0, 0);
    since.Set(static_cast<long>(at / 86400), static_cast<int>(at % 86400 / 3600), static_cast<int>(at % 3600 / 60),
              static_cast<int>(at % 60), 0);
    const TCIMDateTime reading = epoch + since;
    if (reading.GetYear() < 2000 || reading.GetYear() > 2255) return reply;
    reply.ok = true;
    reply.bytes = {static_cast<unsigned char>(reading.GetYear() - 2000), static_cast<unsigned char>(reading.GetMonth()),
                   static_cast<unsigned char>(reading.GetDay()), 0, static_cast<unsigned char>(reading.GetHour()),
                   static_cast<unsigned char>(reading.GetMinute()), static_cast<unsigned char>(reading.GetSecond())};
    return reply;
}
