#include <cstdlib>

#include "log_record.h"

namespace oslog {

namespace {

// One line up to its end, keeping at most kFieldLimit bytes; false at the end
// of the stream with nothing read.
bool boundedLine(std::istream& in, std::string* line) {
    line->clear();
    std::streambuf* buffer = in.rdbuf();
    bool any = false;
    for (int c = buffer->sbumpc(); c != std::char_traits<char>::eof(); c = buffer->sbumpc()) {
        any = true;
        if (c == '\n') return true;
        if (line->size() < kFieldLimit) line->push_back(static_cast<char>(c));
    }
    return any;
}

// The value of a binary field: a little-endian 64-bit length, the bytes and a
// newline. False when the stream ends first.
bool binaryValue(std::istream& in, std::string* value) {
    unsigned char size[8];
    if (!in.read(reinterpret_cast<char*>(size), sizeof size)) return false;
    unsigned long long length = 0;
    for (int i = 7; i >= 0; --i) length = length << 8 | size[i];
    const size_t kept = length < kFieldLimit ? static_cast<size_t>(length) : kFieldLimit;
    value->assign(kept, '\0');
    if (kept && !in.read(&(*value)[0], static_cast<std::streamsize>(kept))) return false;
    for (unsigned long long skipped = kept; skipped < length;) {
        const std::streamsize step =
            static_cast<std::streamsize>(std::min<unsigned long long>(length - skipped, 1 << 20));
        in.ignore(step);
        if (in.gcount() != step) return false;
        skipped += static_cast<unsigned long long>(step);
    }
    return in.get() == '\n';
}

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

void ReadJournalExport(std::istream& in, RecentRecords& keep) {
    Entry entry;
    bool open = false;
    long long ordinal = 0;
    std::string line;
    while (boundedLine(in, &line)) {
        if (line.empty()) {
            if (open) finish(entry, ++ordinal, keep);
            entry.clear();
            open = false;
            continue;
        }
        open = true;
        const size_t equals = line.find('=');
        if (equals != std::string::npos) {
            store(entry, line.substr(0, equals), line.substr(equals + 1));
            continue;
        }
        std::string value;
        if (!binaryValue(in, &value)) return;   // cut short: the entry is incomplete
        store(entry, line, std::move(value));
    }
    if (open) finish(entry, ++ordinal, keep);
}

}  // namespace oslog
