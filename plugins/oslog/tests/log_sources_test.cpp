// The system log's record sources: kernel ring-buffer records, journal
// exports, and the window and limit of what is kept.
#include <gtest/gtest.h>

#include <sstream>

#include "log_record.h"

namespace {

const int64_t kNow = 1765000000000000LL;   // 2025-12-06
const int64_t kDay = 86400LL * 1000000;

std::string describe(const LogRecord& r) {
    return (r.dated ? "" : "~") + std::to_string(r.utcMicros) + "|" + r.recordId + "|" + r.source + "|" +
           r.severity + "|" + r.eventId + "|" + r.message;
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

// The boot time unknown (negative), or so late that the sum would not fit:
// the record keeps its time since boot, undated, never a wrapped time.
TEST(KmsgRecord, UndatedWhereTheBootTimeCannotDateIt) {
    const struct {
        int64_t boot;
        const char* record;
        const char* expected;
    } cases[] = {
        {-1, "3,1,1500,-;disk failed", "~1500|1|kernel|Error||disk failed"},
        {INT64_MAX - 10, "3,1,11,-;late", "~11|1|kernel|Error||late"},
        {INT64_MAX - 10, "3,1,10,-;just fits", "9223372036854775807|1|kernel|Error||just fits"},
    };
    for (const auto& c : cases) {
        LogRecord record;
        ASSERT_TRUE(oslog::ParseKmsgRecord(c.record, c.boot, &record)) << c.record;
        EXPECT_EQ(c.expected, describe(record)) << c.record;
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
    const std::string good = entry(kNow - kDay, "PRIORITY=3\nMESSAGE=good\n");
    const Notes oneDamaged = {"1 damaged journal entries skipped"};
    const struct {
        const char* what;
        std::string stream;
        std::vector<std::string> expected;
        Notes notes;
    } cases[] = {
        {"text fields",
         entry(kNow - kDay, "PRIORITY=3\nSYSLOG_IDENTIFIER=sshd\nMESSAGE=fatal\nMESSAGE_ID=abc\n__SEQNUM=7\n"),
         {recent + "|7|sshd|Error|abc|fatal"}, {}},
        {"binary message with a newline and odd bytes",
         entry(kNow - kDay, "PRIORITY=4\n_COMM=kworker\n" + binaryField("MESSAGE", "two\nlines\xff", 10)),
         {recent + "|1|kworker|Warning||two\nlines\xff"}, {}},
        {"kernel transport names the kernel", entry(kNow - kDay, "PRIORITY=2\n_TRANSPORT=kernel\nMESSAGE=oops\n"),
         {recent + "|1|kernel|Error||oops"}, {}},
        {"information is left out", entry(kNow - kDay, "PRIORITY=6\nMESSAGE=fine\n"), {}, {}},
        {"no priority is left out", entry(kNow - kDay, "MESSAGE=?\n"), {}, {}},
        {"older than 30 days", entry(kNow - 31 * kDay, "PRIORITY=3\nMESSAGE=old\n"), {}, {}},
        {"binary field cut short", entry(kNow - kDay, "PRIORITY=3\n" + binaryField("MESSAGE", "abc", 1000)), {},
         oneDamaged},
        {"binary length beyond any file", entry(kNow - kDay, "PRIORITY=3\n" + binaryField("MESSAGE", "", ~0ULL)), {},
         oneDamaged},
        {"last entry without its blank line", entry(kNow - kDay, "PRIORITY=3\nMESSAGE=end").substr(0, 60),
         {recent + "|1||Error||end"}, {}},
        // A wrong length skips its own entry only: the reading goes on after it.
        {"binary length too short between good entries",
         good + entry(kNow - kDay, "PRIORITY=3\n" + binaryField("MESSAGE", "abcdefghij", 5)) + good,
         {recent + "|1||Error||good", recent + "|2||Error||good"}, oneDamaged},
        {"binary length too long between good entries",
         good + entry(kNow - kDay, "PRIORITY=3\n" + binaryField("MESSAGE", "abcdefghij", 15)) + good,
         {recent + "|1||Error||good", recent + "|2||Error||good"}, oneDamaged},
        {"two damaged entries", entry(kNow - kDay, binaryField("MESSAGE", "ab", 9)) + good +
                                    entry(kNow - kDay, binaryField("MESSAGE", "ab", 1)),
         {recent + "|1||Error||good"}, {"2 damaged journal entries skipped"}},
    };
    for (const auto& c : cases) {
        std::istringstream in(c.stream);
        oslog::RecentRecords keep(kNow);
        Notes notes;
        oslog::ReadJournalExport(in, keep, notes);
        std::vector<std::string> found;
        for (const LogRecord& r : keep.Take()) found.push_back(describe(r));
        EXPECT_EQ(c.expected, found) << c.what;
        EXPECT_EQ(c.notes, notes) << c.what;
    }
}

TEST(JournalExport, ReadNoFurtherThanItsLimit) {
    const std::string stream = entry(kNow, "PRIORITY=3\nMESSAGE=first\n") + entry(kNow, "PRIORITY=3\nMESSAGE=second\n");
    const struct {
        uint64_t limit;
        std::vector<std::string> messages;
        Notes notes;
    } cases[] = {
        {stream.size(), {"first", "second"}, {}},
        {stream.size() - 1, {"first"},
         {"Journal export read no further than " + std::to_string(stream.size() - 1) + " bytes"}},
        {10, {}, {"Journal export read no further than 10 bytes"}},
    };
    for (const auto& c : cases) {
        std::istringstream in(stream);
        oslog::RecentRecords keep(kNow);
        Notes notes;
        oslog::ReadJournalExport(in, keep, notes, c.limit);
        std::vector<std::string> messages;
        for (const LogRecord& r : keep.Take()) messages.push_back(r.message);
        EXPECT_EQ(c.messages, messages) << c.limit;
        EXPECT_EQ(c.notes, notes) << c.limit;
    }
}

TEST(JournalExport, CutsOverlongFields) {
    std::istringstream in(entry(kNow, "PRIORITY=3\nMESSAGE=" + std::string(oslog::kFieldLimit + 5, 'x') + "\n"));
    oslog::RecentRecords keep(kNow);
    Notes notes;
    oslog::ReadJournalExport(in, keep, notes);
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

// Entries dated outside the window never push real ones out of the records
// kept; what is left out is counted in the notes.
TEST(RecentRecords, MisdatedEntriesAreCountedNotKept) {
    struct Batch {
        size_t count;
        int64_t micros;
        bool dated;
    };
    const int64_t kMinute = 60LL * 1000000;
    const struct {
        const char* what;
        std::vector<Batch> added;   // in this order
        size_t kept;
        bool enough;                // a newest-first source stops here
        Notes notes;
    } cases[] = {
        {"far in the future before five real", {{10000, 999999999999999999LL, true}, {5, kNow - kDay, true}}, 5, false,
         {"10000 OS log entries dated in the future left out"}},
        {"absurdly far in the past before five real", {{10000, 1, true}, {5, kNow - kDay, true}}, 5, false,
         {"10000 OS log entries older than 30 days left out"}},
        {"a run of entries before the window ends a newest-first reading",
         {{5, kNow - kDay, true}, {oslog::kOldRunLimit, kNow - 40 * kDay, true}}, 5, true,
         {"1000 OS log entries older than 30 days left out"}},
        {"one short of the run", {{oslog::kOldRunLimit - 1, kNow - 40 * kDay, true}, {1, kNow, true}}, 1, false,
         {"999 OS log entries older than 30 days left out"}},
        {"written while the log is read", {{1, kNow + 10 * kMinute, true}}, 1, false, {}},
        {"more than an hour ahead", {{1, kNow + 61 * kMinute, true}}, 0, false,
         {"1 OS log entries dated in the future left out"}},
        {"not dated: the boot time is unknown", {{3, 5, false}}, 3, false, {}},
        {"one more than the limit", {{oslog::kMaxRecords + 1, kNow - kDay, true}}, oslog::kMaxRecords, true,
         {"Only the newest 10000 OS log entries of the last 30 days kept; 1 older ones left out"}},
    };
    for (const auto& c : cases) {
        oslog::RecentRecords keep(kNow);
        for (const Batch& batch : c.added) {
            for (size_t i = 0; i < batch.count; ++i) {
                LogRecord record;
                record.utcMicros = batch.micros;
                record.dated = batch.dated;
                keep.Add(record);
            }
        }
        EXPECT_EQ(c.enough, keep.Enough()) << c.what;
        Notes notes;
        keep.Report(notes);
        EXPECT_EQ(c.notes, notes) << c.what;
        EXPECT_EQ(c.kept, keep.Take().size()) << c.what;
    }
}

}  // namespace
