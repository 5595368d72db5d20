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
    int64_t utcMicros = 0;     // since 1970-01-01 UTC; since boot where not dated
    bool dated = true;         // false: the boot time is unknown
    std::string recordId;
    std::string source;
    std::string severity;      // "Error" or "Warning"
    std::string eventId;
    std::string message;
};

namespace oslog {

const size_t kMaxRecords = 10000;
const int64_t kWindowMicros = 30LL * 86400 * 1000000;
// Entries written while the log is read, and a clock a little ahead of ours,
// are still in the window.
const int64_t kFutureSlackMicros = 3600LL * 1000000;
// Entries looked at, kept or not: a log of millions is not read to its end.
const uint64_t kScanLimit = 1000000;
// Read newest first, this many entries in a row before the window mean the
// log's older history has been reached; one misdated entry does not end it.
const uint64_t kOldRunLimit = 1000;
const size_t kFieldLimit = 64 << 10;   // longer texts are cut there

// "Error" for syslog priorities 0 to 3, "Warning" for 4, empty for the rest.
std::string SeverityOfPriority(int priority);

// The newest kMaxRecords records of the window: the 30 days that end now.
// Entries dated outside it, before or after, are counted and never kept, so
// misdated entries cannot push real ones out.
class RecentRecords {
public:
    enum Place { kInWindow, kBefore, kAfter };

    explicit RecentRecords(int64_t nowMicros)
        : oldest_(nowMicros - kWindowMicros), newest_(nowMicros + kFutureSlackMicros) {}
    RecentRecords(const RecentRecords&) = delete;
    RecentRecords& operator=(const RecentRecords&) = delete;
    // Keeps the record if it lies in the window (an undated one always does);
    // says where it lay.
    Place Add(LogRecord record);
    // Oldest first.
    std::vector<LogRecord> Take();
    bool Full() const { return heap_.size() >= kMaxRecords; }
    // For a source read newest first: nothing it holds further back can be kept.
    bool Enough() const { return Full() || Exhausted() || beforeRun_ >= kOldRunLimit; }
    // For any source: kScanLimit entries were looked at.
    bool Exhausted() const { return added_ >= kScanLimit; }
    // What was left out, and why, as notes.
    void Report(Notes& notes) const;

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
    Place where(const LogRecord& record) const;

    int64_t oldest_, newest_;
    uint64_t added_ = 0, before_ = 0, after_ = 0, beyondLimit_ = 0, beforeRun_ = 0;
    std::priority_queue<Kept, std::vector<Kept>, Newer> heap_;   // oldest on top
};

// One record of the kernel's /dev/kmsg ("prio,seq,usec,flags;text" and
// continuation lines); bootMicros is the boot time in UTC microseconds, or
// negative when unknown (the record is then not dated). False for a record
// that is malformed or neither error nor warning.
bool ParseKmsgRecord(const std::string& record, int64_t bootMicros, LogRecord* out);

// A journal export stream (text and binary fields; entries end with an empty
// line), at most limit bytes of it. Field lengths are bounded; an entry with a
// damaged binary field is skipped and the reading goes on; notes say how many
// were skipped and where the reading stopped early.
const uint64_t kExportLimit = 1ULL << 30;
void ReadJournalExport(std::istream& in, RecentRecords& keep, Notes& notes, uint64_t limit = kExportLimit);

// Where the records came from: "System" (Windows), "journal" or "kernel".
struct LogSource {
    std::string logName;
    std::vector<LogRecord> records;
};

LogSource ReadSystemLog(Notes& notes);

}  // namespace oslog

#endif
