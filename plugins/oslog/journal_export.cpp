#include <cstdlib>

#include "log_record.h"

namespace oslog {

namespace {

// The stream, read byte by byte up to the limit; the limit ends it as its end would.
class Export {
public:
    Export(std::istream& in, uint64_t limit) : in_(in), limit_(limit) {}

    int Get() {
        if (read_ >= limit_) {
            cut_ = in_.rdbuf()->sgetc() != std::char_traits<char>::eof();
            return std::char_traits<char>::eof();
        }
        const int c = in_.rdbuf()->sbumpc();
        if (c != std::char_traits<char>::eof()) ++read_;
        return c;
    }

    // One line up to its end, keeping at most kFieldLimit bytes; false at the
    // end with nothing read.
    bool Line(std::string* line) {
        line->clear();
        bool any = false;
        for (int c = Get(); c != std::char_traits<char>::eof(); c = Get()) {
            any = true;
            if (c == '\n') return true;
            if (line->size() < kFieldLimit) line->push_back(static_cast<char>(c));
        }
        return any;
    }

    // The value of a binary field: a little-endian 64-bit length, the bytes and
    // a newline. False when the bytes do not end where the length says.
    bool Binary(std::string* value) {
        unsigned long long length = 0;
        for (int i = 0; i < 8; ++i) {
            const int c = Get();
            if (c == std::char_traits<char>::eof()) return false;
            length |= static_cast<unsigned long long>(static_cast<unsigned char>(c)) << (8 * i);
        }
        value->clear();
        for (unsigned long long n = 0; n < length; ++n) {
            const int c = Get();
            if (c == std::char_traits<char>::eof()) return false;
            if (value->size() < kFieldLimit) value->push_back(static_cast<char>(c));
        }
        return Get() == '\n';
    }

    // Where a damaged field began, to read on from there rather than from
    // wherever its wrong length led (a stream that cannot seek reads on from
    // there instead).
    struct Mark {
        std::streampos at;
        uint64_t read;
    };
    Mark Here() { return {in_.rdbuf()->pubseekoff(0, std::ios::cur, std::ios::in), read_}; }
    void Back(const Mark& mark) {
        if (mark.at == std::streampos(-1)) return;
        if (in_.rdbuf()->pubseekpos(mark.at, std::ios::in) == mark.at) read_ = mark.read;
    }

    bool Cut() const { return cut_; }

private:
    std::istream& in_;
    const uint64_t limit_;
    uint64_t read_ = 0;
    bool cut_ = false;
};

struct Entry {
    std::string realtime, priority, identifier, command, transport, message, messageId, sequence;
    void clear() { *this = Entry(); }
};

void store(Entry& entry, const std::string& key, std::string value) {
    if (key == "__REALTIME_TIMESTAMP") entry.realtime = value;
    else if (key == "PRIORITY") entry.priority = value;
    else if (key == "SYSLOG_IDENTIFIER") entry.identifier = value;
    else if (key == "_COMM") entry.command = value;
    else if (key == "_TRANSPORT") entry.transport = value;
    else if (key == "MESSAGE") entry.message = value;
    else if (key == "MESSAGE_ID") entry.messageId = value;
    else if (key == "__SEQNUM") entry.sequence = value;
}

void finish(const Entry& entry, long long ordinal, RecentRecords& keep) {
    if (entry.priority.size() != 1 || entry.realtime.empty() || entry.realtime.size() > 18 ||
        entry.realtime.find_first_not_of("0123456789") != std::string::npos)
        return;
    LogRecord record;
    record.severity = SeverityOfPriority(entry.priority[0] - '0');
    if (record.severity.empty()) return;
    record.utcMicros = std::strtoll(entry.realtime.c_str(), nullptr, 10);
    record.recordId = entry.sequence.empty() ? std::to_string(ordinal) : entry.sequence;
    record.source = !entry.identifier.empty() ? entry.identifier
                    : !entry.command.empty()  ? entry.command
                    : entry.transport == "kernel" ? "kernel"
                                                  : entry.transport;
    record.eventId = entry.messageId;
    record.message = entry.message;
    keep.Add(std::move(record));
}

}  // namespace

void ReadJournalExport(std::istream& in, RecentRecords& keep, Notes& notes, uint64_t limit) {
    Export stream(in, limit);
    Entry entry;
    bool open = false, damaged = false;
    long long ordinal = 0;
    uint64_t skipped = 0;
    std::string line;
    while (!keep.Exhausted() && stream.Line(&line)) {
        if (stream.Cut()) break;   // a line the limit cut is no field
        if (line.empty()) {
            if (damaged) ++skipped;
            else if (open) finish(entry, ++ordinal, keep);
            entry.clear();
            open = damaged = false;
            continue;
        }
        open = true;
        if (damaged) continue;   // the rest of a damaged entry, up to its end
        const size_t equals = line.find('=');
        if (equals != std::string::npos) {
            store(entry, line.substr(0, equals), line.substr(equals + 1));
            continue;
        }
        const Export::Mark mark = stream.Here();
        std::string value;
        if (stream.Binary(&value)) {
            store(entry, line, std::move(value));
        } else if (stream.Cut()) {
            break;
        } else {
            damaged = true;
            stream.Back(mark);
        }
    }
    // An entry the limit cut is incomplete; one the stream's end cut lacks only its blank line.
    if (damaged) ++skipped;
    else if (open && !stream.Cut()) finish(entry, ++ordinal, keep);
    if (skipped) notes.push_back(std::to_string(skipped) + " damaged journal entries skipped");
    if (stream.Cut()) notes.push_back("Journal export read no further than " + std::to_string(limit) + " bytes");
}

}  // namespace oslog
