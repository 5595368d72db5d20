#include <gtest/gtest.h>

#include <chrono>

#include "fake_tree.h"
#include "log_record.h"

namespace {

TEST(LinuxSystemLog, JournalExportElseKernelBufferElseANote) {
    const int64_t now = std::chrono::duration_cast<std::chrono::microseconds>(
                            std::chrono::system_clock::now().time_since_epoch())
                            .count();
    machinetest::FakeTree tree;
    const std::string exportFile = tree.Path("/journal.export");
    tree.Write("/journal.export", "__REALTIME_TIMESTAMP=" + std::to_string(now - 1000000) +
                                      "\nPRIORITY=3\nSYSLOG_IDENTIFIER=kernel\nMESSAGE=from the export\n\n");
    // The ring buffer as a plain file: records one after the other, one cut short at the end.
    const std::string goodStat = "cpu 1 2 3\nbtime " + std::to_string(now / 1000000 - 60) + "\n";
    const struct {
        const char* what;
        const char* exported;   // WYX_JOURNAL_EXPORT
        const char* stat;       // /proc/stat
        const char* kmsgLink;   // /dev/kmsg made a link to this (null: the plain file)
        bool removeKmsg;
        const char* logName;
        std::vector<std::string> messages;
        Notes notes;
    } cases[] = {
        {"export given", exportFile.c_str(), goodStat.c_str(), nullptr, false, "journal", {"from the export"}, {}},
        {"export unreadable", "/nonexistent/export", goodStat.c_str(), nullptr, false, "", {},
         {"Journal export /nonexistent/export cannot be read"}},
        {"kernel buffer", nullptr, goodStat.c_str(), nullptr, false, "kernel", {"ring error", "ring warning"},
         {"No systemd journal"}},
        {"boot time beyond 9999: records kept undated", nullptr, "btime 99999999999999\n", nullptr, false, "kernel",
         {"ring error", "ring warning"},
         {"No systemd journal", "No usable boot time in /proc/stat: kernel records not dated"}},
        {"kernel buffer a link out of the root", nullptr, goodStat.c_str(), "/dev/null", false, "", {},
         {"No systemd journal", "No kernel ring buffer"}},
        {"nothing", nullptr, goodStat.c_str(), nullptr, true, "", {}, {"No systemd journal", "No kernel ring buffer"}},
    };
    const std::string kmsg = "6,1,100,-;info\n3,2,200,-;ring error\n SUBSYSTEM=x\n4,3,300,-;ring warning\n4,4,";
    for (const auto& c : cases) {
        machinetest::ScopedEnv exported("WYX_JOURNAL_EXPORT", c.exported);
        tree.Write("/proc/stat", c.stat);
        std::filesystem::remove(tree.Path("/dev/kmsg"));
        if (c.kmsgLink) tree.Link("/dev/kmsg", c.kmsgLink);
        else if (!c.removeKmsg) tree.Write("/dev/kmsg", kmsg);
        Notes notes;
        const oslog::LogSource source = oslog::ReadSystemLog(notes);
        std::vector<std::string> messages;
        for (const LogRecord& r : source.records) messages.push_back(r.message);
        EXPECT_EQ(c.logName, source.logName) << c.what;
        EXPECT_EQ(c.messages, messages) << c.what;
        EXPECT_EQ(c.notes, notes) << c.what;
    }
}

}  // namespace
