#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "wyxcore/flat.h"
#include "wyxcore/progress.h"
#include "wyxcore/status.h"

namespace {

class RecordingSink final : public IProgressSink {
public:
    void Show(const std::string& line) override { lines.push_back(line); }
    std::vector<std::string> lines;
};

class Progress : public ::testing::Test {
protected:
    void SetUp() override { SetProgressSink(&sink); }
    void TearDown() override { SetProgressSink(nullptr); }
    RecordingSink sink;
};

TEST_F(Progress, RedrawsAtMostTenTimesASecondButANewStepAtOnce) {
    struct Report {
        const char* what;
        uint64_t done, total;
        bool waitFirst;       // past the redraw interval
        const char* shown;    // null: not drawn
    };
    const Report reports[] = {
        {"entries read", 1, 0, false, "  entries read: 1"},
        {"entries read", 2, 0, false, nullptr},                      // within the interval
        {"pages written", 1, 40, false, "  pages written: 1 of 40"},   // a new step shows at once
        {"pages written", 2, 40, false, nullptr},
        {"pages written", 3, 40, true, "  pages written: 3 of 40"},
        {"entries read", 5000000000ull, 0, false, "  entries read: 5000000000"},
    };
    std::vector<std::string> expected;
    for (const Report& r : reports) {
        if (r.waitFirst) std::this_thread::sleep_for(std::chrono::milliseconds(110));
        ReportProgress(r.what, r.done, r.total);
        if (r.shown) expected.push_back(r.shown);
    }
    EXPECT_EQ(expected, sink.lines);
}

TEST_F(Progress, AdvancingCountsEachStepFromOne) {
    for (int i = 0; i < 3; ++i) AdvanceProgress("pages written");
    ReportProgress("bytes written", 10, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(110));
    AdvanceProgress("pages written");
    EXPECT_EQ((std::vector<std::string>{"  pages written: 1", "  bytes written: 10", "  pages written: 1"}),
              sink.lines);
}

TEST_F(Progress, FlatEntryPointRefusesBadArgumentsAndDrawsNothingForThem) {
    int notAPlugin = 0;
    EXPECT_EQ(kWyxFailure, wyxReportProgress(nullptr, nullptr, 1, 0));
    EXPECT_EQ(kWyxFailure, wyxReportProgress(&notAPlugin, "entries read", 1, 0));
    EXPECT_TRUE(sink.lines.empty());
    EXPECT_EQ(kWyxOK, wyxReportProgress(nullptr, "TRAV log, entries read", 7, 15));
    EXPECT_EQ(std::vector<std::string>{"  TRAV log, entries read: 7 of 15"}, sink.lines);
}

TEST_F(Progress, NothingIsDrawnOnceTheSinkIsRemoved) {
    SetProgressSink(nullptr);
    ReportProgress("entries read", 1, 0);
    EXPECT_TRUE(sink.lines.empty());
}

}  // namespace
