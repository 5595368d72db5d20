#include "entry_format.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <vector>

#include "clock_normaliser.h"
#include "dot_command.h"
#include "wyxcore/flat.h"

namespace {

// Reads one whole line; a CR LF ending counts as the line end. False when the
// read met the end of the file: the line had no line end, or none was left.
// (Reading a buffer at a time was tried: it saved the per-byte locks but cost a
// second read of the small file, and no time.)
bool readLine(std::FILE* in, std::string* line) {
    line->clear();
    for (int c = std::getc(in); c != EOF; c = std::getc(in)) {
        if (c == '\n') {
            if (!line->empty() && line->back() == '\r') line->pop_back();
            return true;
        }
        line->push_back(static_cast<char>(c));
    }
    return false;
}

// Runs of "|" separate like one; there are no empty tokens.
std::vector<std::string> tokensOf(const std::string& line) {
    std::vector<std::string> tokens;
    tokens.reserve(4);   // a format line has three
    size_t pos = 0;
    while (pos < line.size()) {
        const size_t end = std::min(line.find('|', pos), line.size());
        if (end > pos) tokens.push_back(line.substr(pos, end - pos));
        pos = end + 1;
    }
    return tokens;
}

std::string withoutFirstCR(std::string token) {
    const size_t cr = token.find('\r');
    if (cr != std::string::npos) token.erase(cr, 1);
    return token;
}

// Like atoi, without its overflow: blanks, an optional sign, digits.
long long numberOf(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        if (value < INT_MAX) value = value * 10 + (text[i] - '0');
    if (value > INT_MAX) value = INT_MAX;
    return negative ? -value : value;
}

const char* weekday(int value) {
    static const char* const kNames[] = {"Sunday", "Monday", "Tuesday", "Wednesday",
                                         "Thursday", "Friday", "Saturday"};
    return value >= 1 && value <= 7 ? kNames[value - 1] : "Unknown";
}

class EntryDecoder {
public:
    EntryDecoder(const EntryFormatContext& context, unsigned char* reply, int length)
        : c_(context), reply_(reply), length_(length) {}

    bool run();

private:
    bool decode(std::FILE* file);
    bool add(const std::string& name, const std::string& value, const char* failure) {
        if (wyxAddProperty(c_.container, name.c_str(), value.c_str()) != 3) return true;
        wyxWriteLog(c_.plugin, 0, failure);
        return false;
    }
    // Bytes beyond the reply read as zero.
    int byteAt(long long offset) const { return offset >= 0 && offset < length_ ? reply_[offset] : 0; }
    bool binaryField(const std::string& name, long long fieldLength);
    bool asciiField(const std::string& name, long long fieldLength);

    const EntryFormatContext& c_;
    unsigned char* reply_;
    int length_;
    long long offset_ = 0;
    EntryClock clock_;
};

bool EntryDecoder::binaryField(const std::string& name, long long fieldLength) {
    wyxWriteLog(c_.plugin, 3, "quarnel::getDotcommandlog() parsing binary data");
    const int v = byteAt(offset_);
    offset_ += fieldLength;
    if (name == "Year") {
        clock_.year = v;
    } else if (name == "Month") {
        clock_.month = v;
    } else if (name == "Date") {
        clock_.day = v;
        return add("Date",
                   std::to_string(clock_.month) + "/" + std::to_string(clock_.day) + "/" + std::to_string(clock_.year),
                   "Error adding Date for VARNSG_Quarnel");
    } else if (name == "Day") {
        return add("Day", weekday(v), "Error adding Day for VARNSG_Quarnel");
    } else if (name == "Hours") {
        clock_.hour = v;
    } else if (name == "Minutes") {
        clock_.minute = v;
    } else if (name == "Seconds") {
        clock_.second = v;
        if (!add("Time",
                 std::to_string(clock_.hour) + ":" + std::to_string(clock_.minute) + ":" +
                     std::to_string(clock_.second),
                 "Error adding Time for VARNSG_Quarnel"))
            return false;
        return c_.clock->addTimestamp(clock_);
    } else {
        return add(name, std::to_string(v), "Error adding data for VARNSG_Quarnel");
    }
    return true;
}

bool EntryDecoder::asciiField(const std::string& name, long long fieldLength) {
    // Zero bytes become blanks, in the reply itself; bytes beyond the reply
    // read as zero, up to the end of the buffer.
    std::string text;
    for (long long at = std::max(offset_, 0LL); at < offset_ + fieldLength && at < kDotReplySize; ++at) {
        if (at >= length_) reply_[at] = 0;
        if (reply_[at] == 0) reply_[at] = ' ';
        text.push_back(static_cast<char>(reply_[at]));
    }
    offset_ += fieldLength;
    if (name == "LoggingSource" && c_.processorCount > 1)
        text = "Node " + std::to_string(c_.processor + 1) + ": " + text;
    return add(name, text, "Error adding data for VARNSG_Quarnel");
}

bool EntryDecoder::run() {
    wyxWriteLog(c_.plugin, 3, " parsing quarnelentry.txt ");
    // Opened for every entry; a C stream costs a fraction of a C++ one here.
    std::FILE* file = std::fopen(c_.formatPath.c_str(), "rb");
    if (!file) {
        wyxWriteLog(c_.plugin, 0, "Failed to open quarnelentry.txt!");
        return false;
    }
    // The file is a few hundred bytes: a buffer of our own spares the stream its
    // allocation and the size query that would pick one.
    char buffer[1024];
    std::setvbuf(file, buffer, _IOFBF, sizeof buffer);
    const bool decoded = decode(file);
    std::fclose(file);
    return decoded;
}

bool EntryDecoder::decode(std::FILE* file) {
    std::string line;
    bool atEnd = !readLine(file, &line);
    char type = '\0';   // none of a, b, d until a line gives one
    std::string lengthToken, name;
    while (type != 'd') {
        wyxWriteLog(c_.plugin, 3, "quarnel::getDotcommandlog() parsing for data type, length , description");
        const std::vector<std::string> tokens = tokensOf(line);
        if (tokens.size() > 0) type = tokens[0][0];
        if (tokens.size() > 1) lengthToken = withoutFirstCR(tokens[1]);
        if (tokens.size() > 2) name = withoutFirstCR(tokens[2]);
        long long fieldLength = numberOf(lengthToken);
        if (lengthToken == "x") {
            fieldLength = length_ - offset_ - 1;   // the rest but the entry's last byte
            if (fieldLength < 0) fieldLength = 0;
        }
        if (type == 'b' || type == 'a') {
            if (!(type == 'b' ? binaryField(name, fieldLength) : asciiField(name, fieldLength))) return false;
        } else if (type == 'd' || atEnd) {
            break;
        }
        // A line of an unknown type is skipped, so the parse always ends.
        atEnd = !readLine(file, &line);
        if (atEnd) break;
    }
    return true;
}

}  // namespace

bool decodeUlkEntry(const EntryFormatContext& context, unsigned char* reply, int length) {
    EntryDecoder decoder(context, reply, length);
    return decoder.run();
}
