#ifndef OSLOG_LOG_RECORD_H
#define OSLOG_LOG_RECORD_H

#include <cstddef>
#include <cstdint>
#include <istream>
#include <queue>
#include <string>
#include <vector>

#include "hardware_facts.h"

// One error or warning of the operating system's own log.
struct LogRecord {
    int64_t utcMicros = 0;     // since 1970-01-01 UTC
    std::string recordId;
    std::string source;
    std::string severity;      // "Error" or "Warning"
    std::string eventId;
    std::string message;
};

namespace oslog {

const size_t kMaxRecords = 10000;
const int64_t kWindowMicros = 30LL * 86400 * 1000000;
const size_t kFieldLimit = 64 << 10;   // longer texts are cut there

// "Error" for syslog priorities 0 to 3, "Warning" for 4, empty for the rest.
std::string SeverityOfPriority(int priority);

// The newest kMaxRecords records of the window that ends now.
class RecentRecords {
public:
    explicit RecentRecords(int64_t nowMicros) : oldest_(nowMicros - kWindowMicros) {}
    RecentRecords(const RecentRecords&) = delete;
    RecentRecords& operator=(const RecentRecords&) = delete;
    void Add(LogRecord record);
    // Oldest first.
    std::vector<LogRecord> Take();
    bool Full() const { return heap_.size() >= kMaxRecords; }
    bool InWindow(int64_t utcMicros) const { return utcMicros >= oldest_; }

private:
    // Records of the same instant keep the order in which they were added.
    struct Kept {
        LogRecord record;
        uint64_t arrival;
    };
    struct Newer {
        bool operator()(const Kept& a, const Kept& b) const {
            return a.record.utcMicros != b.record.utcMicros ? a.record.utcMicros > b.record.utcMicros
                                                            : a.arrival > b.arrival;
        }
    };
    int64_t oldest_;
    uint64_t arrivals_ = 0;
    std::priority_queue<Kept, std::vector<Kept>, Newer> heap_;   // oldest on top
};

// One record of the kernel's /dev/kmsg ("prio,seq,usec,flags;text" and
// continuation lines); boot is the boot time in UTC microseconds. False for a
// record that is malformed or neither error nor warning.
bool ParseKmsgRecord(const std::string& record, int64_t bootMicros, LogRecord* out);

// A journal export stream (text and binary fields; entries end with an empty
// line). Field lengths are bounded; a stream cut short ends the reading.
void ReadJournalExport(std::istream& in, RecentRecords& keep);

// Where the records came from: "System" (Windows), "journal" or "kernel".
struct LogSource {
    std::string logName;
    std::vector<LogRecord> records;
};

LogSource ReadSystemLog(Notes& notes);

}  // namespace oslog

#endif
