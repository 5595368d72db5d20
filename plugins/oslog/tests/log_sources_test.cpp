// The system log's record sources: kernel ring-buffer records, journal
// exports, and the window and limit of what is kept.
#include <gtest/gtest.h>

#include <sstream>

#include "log_record.h"

namespace {

const int64_t kNow = 1765000000000000LL;   // 2025-12-06
const int64_t kDay = 86400LL * 1000000;

std::string describe(const LogRecord& r) {
    return std::to_string(r.utcMicros) + "|" + r.recordId + "|" + r.source + "|" + r.severity + "|" + r.eventId + "|" +
           r.message;
}

TEST(KmsgRecord, ErrorsAndWarningsWithTheirBootRelativeTime) {
    const struct {
        const char* what;
        std::string record;
        const char* expected;   // null: not kept
    } cases[] = {
        {"warning", "4,2,1500,-;[Firmware Bug]: TSC", "1000001500|2|kernel|Warning||[Firmware Bug]: TSC"},
        {"error with a facility", "27,10,0,-;disk failed", "1000000000|10|kernel|Error||disk failed"},
        {"continuation lines dropped", "3,5,7,c;usb 1-1: fail\n SUBSYSTEM=usb\n DEVICE=c189:1",
         "1000000007|5|kernel|Error||usb 1-1: fail"},
        {"no flags field", "4,1,2;short", "1000000002|1|kernel|Warning||short"},
        {"notice: not kept", "5,3,9,-;notice", nullptr},
        {"no semicolon", "4,1,2,-", nullptr},
        {"letters for numbers", "x,1,2,-;m", nullptr},
        {"huge time", "4,1,99999999999999999999,-;m", nullptr},
        {"empty", "", nullptr},
    };
    for (const auto& c : cases) {
        LogRecord record;
        const bool kept = oslog::ParseKmsgRecord(c.record, 1000000000, &record);
        EXPECT_EQ(c.expected != nullptr, kept) << c.what;
        if (c.expected && kept) {
            EXPECT_EQ(c.expected, describe(record)) << c.what;
        }
    }
}

std::string binaryField(const std::string& name, const std::string& value, uint64_t declared) {
    std::string field = name + "\n";
    for (int i = 0; i < 8; ++i) field.push_back(static_cast<char>(declared >> (8 * i) & 0xFF));
    return field + value + "\n";
}

std::string entry(int64_t micros, const std::string& fields) {
    return "__REALTIME_TIMESTAMP=" + std::to_string(micros) + "\n" + fields + "\n";
}

TEST(JournalExport, KeepsErrorsAndWarningsOfTheWindow) {
    const std::string recent = std::to_string(kNow - kDay);
    const struct {
        const char* what;
        std::string stream;
        std::vector<std::string> expected;
    } cases[] = {
        {"text fields",
         entry(kNow - kDay, "PRIORITY=3\nSYSLOG_IDENTIFIER=sshd\nMESSAGE=fatal\nMESSAGE_ID=abc\n__SEQNUM=7\n"),
         {recent + "|7|sshd|Error|abc|fatal"}},
        {"binary message with a newline and odd bytes",
         entry(kNow - kDay, "PRIORITY=4\n_COMM=kworker\n" + binaryField("MESSAGE", "two\nlines\xff", 10)),
         {recent + "|1|kworker|Warning||two\nlines\xff"}},
        {"kernel transport names the kernel", entry(kNow - kDay, "PRIORITY=2\n_TRANSPORT=kernel\nMESSAGE=oops\n"),
         {recent + "|1|kernel|Error||oops"}},
        {"information is left out", entry(kNow - kDay, "PRIORITY=6\nMESSAGE=fine\n"), {}},
        {"no priority is left out", entry(kNow - kDay, "MESSAGE=?\n"), {}},
        {"older than 30 days", entry(kNow - 31 * kDay, "PRIORITY=3\nMESSAGE=old\n"), {}},
        {"binary field cut short", entry(kNow - kDay, "PRIORITY=3\n" + binaryField("MESSAGE", "abc", 1000)), {}},
        {"binary length beyond any file", entry(kNow - kDay, "PRIORITY=3\n" + binaryField("MESSAGE", "", ~0ULL)), {}},
        {"last entry without its blank line", entry(kNow - kDay, "PRIORITY=3\nMESSAGE=end").substr(0, 60),
         {recent + "|1||Error||end"}},
    };
    for (const auto& c : cases) {
        std::istringstream in(c.stream);
        oslog::RecentRecords keep(kNow);
        oslog::ReadJournalExport(in, keep);
        std::vector<std::string> found;
        for (const LogRecord& r : keep.Take()) found.push_back(describe(r));
        EXPECT_EQ(c.expected, found) << c.what;
    }
}

TEST(JournalExport, CutsOverlongFields) {
    std::istringstream in(entry(kNow, "PRIORITY=3\nMESSAGE=" + std::string(oslog::kFieldLimit + 5, 'x') + "\n"));
    oslog::RecentRecords keep(kNow);
    oslog::ReadJournalExport(in, keep);
    const std::vector<LogRecord> records = keep.Take();
    ASSERT_EQ(1u, records.size());
    EXPECT_EQ(oslog::kFieldLimit - 8, records[0].message.size());   // the line holds "MESSAGE=" too
}

TEST(RecentRecords, NewestOfTheWindowOldestFirst) {
    oslog::RecentRecords keep(kNow);
    // Twice the limit, in no particular order; one outside the window.
    for (size_t i = 0; i < 2 * oslog::kMaxRecords; ++i) {
        LogRecord record;
        record.utcMicros = kNow - static_cast<int64_t>((i * 7919) % (2 * oslog::kMaxRecords)) * 1000;
        keep.Add(record);
    }
    LogRecord old;
    old.utcMicros = kNow - oslog::kWindowMicros - 1;
    keep.Add(old);
    const std::vector<LogRecord> records = keep.Take();
    ASSERT_EQ(oslog::kMaxRecords, records.size());
    EXPECT_EQ(kNow - static_cast<int64_t>(oslog::kMaxRecords - 1) * 1000, records.front().utcMicros);
    EXPECT_EQ(kNow, records.back().utcMicros);
    for (size_t i = 1; i < records.size(); ++i) EXPECT_LT(records[i - 1].utcMicros, records[i].utcMicros);
}

}  // namespace
