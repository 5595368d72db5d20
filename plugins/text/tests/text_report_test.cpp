#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "support/sample_container.h"
#include "text_report.h"
#include "wyxcore/exception.h"
#include "wyxcore/status.h"

namespace {

std::string readFile(const std::string& path, bool textMode = true) {
    std::ifstream in(path.c_str(), textMode ? std::ios::in : std::ios::in | std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TCIMDateTime fixedTime() {
    TCIMDateTime at;
    at.Set(2026, 12, 8, 5, 31, 7, 0, 60);
    return at;
}

// Set NORBIX_UPDATE_GOLDEN=1 to rewrite the golden file after a deliberate change.
TEST(TextReport, SampleContainerMatchesGoldenFile) {
    TContainer container;
    FillSampleContainer(container);
    const std::string report = RenderTextReport(container, fixedTime());
    const std::string golden =
        std::string(std::getenv("NORBIX_SOURCE_DIR")) + "/plugins/text/tests/golden/sample_report.txt";
    if (std::getenv("NORBIX_UPDATE_GOLDEN")) {
        std::ofstream(golden.c_str(), std::ios::binary) << report;
    }
    EXPECT_EQ(report, readFile(golden, false));
}

TEST(TextReport, EmptyContainerSaysSo) {
    TContainer container;
    DeclareReportClasses(container);
    const std::string report = RenderTextReport(container, fixedTime());
    EXPECT_NE(report.find("No computer-system data."), std::string::npos);
    EXPECT_NE(report.find("No instances."), std::string::npos);
}

// The top of the report: the verdict, then the collection's status and heavy hitters, each
// honest about what the collection cannot say.
TEST(TextReport, VerdictThenStatusAndHeavyHittersFirst) {
    const struct {
        const char* name;
        bool runLog;
        const char* uncorrected;   // of the one DIMM; null: no counter at all
        std::vector<const char*> head;   // the first lines after the title
    } cases[] = {
        {"a failing part, no run log", false, "2",
         {"VERDICT: 1 part failing", " | DIMM_A1 | Failed | 2 uncorrected errors | 1 piece of evidence", "",
          "Collection status unknown: the run log was not saved.",
          "Service processor: not known (the run log does not say)", "",
          "Heavy hitters unknown: the run log was not saved."}},
        {"nothing wrong, complete", true, "0",
         {"VERDICT: nothing wrong found: 1 part checked, OK.", "  Checked: DIMM_A1", "",
          "Collection complete: no collector logged an error."}},
        {"no part at all", true, nullptr,
         {"VERDICT: no part checked: no source of this collection reports on the health of a part.", "",
          "Collection complete: no collector logged an error."}},
    };
    for (const auto& c : cases) {
        TContainer container;
        DeclareReportClasses(container);
        DeclarePartSourceClasses(container);
        if (c.runLog) AddRunLogRecord(container, "0", "Core", "2", "20261208052800.000000+060", "Command line: norbix");
        if (c.uncorrected)
            AddTestInstance(container, "VARNSG_MemoryErrorCounter",
                            {{"Label", "DIMM_A1"}, {"UncorrectedCount", c.uncorrected}});
        std::istringstream report(RenderTextReport(container, fixedTime()));
        std::string line;
        std::vector<std::string> lines;
        while (std::getline(report, line)) lines.push_back(line);
        // After the title, when, and when written where that is later; then a blank line.
        const size_t first = lines.size() > 4 && lines[3].empty() ? 4 : 3;
        ASSERT_GT(lines.size(), first + c.head.size()) << c.name;
        for (size_t i = 0; i < c.head.size(); ++i) {
            const std::string expected = c.head[i];
            if (expected.compare(0, 3, " | ") == 0)
                EXPECT_NE(lines[first + i].find(expected), std::string::npos) << c.name << ": " << lines[first + i];
            else
                EXPECT_EQ(lines[first + i], expected) << c.name;
        }
    }
}

TEST(TextReport, ValuesCannotBreakLinesOrColumns) {
    TContainer container;
    DeclareTestClass(container, "X_Note", {{"ID", kCIMString}, {"Text", kCIMString}});
    AddTestInstance(container, "X_Note", {{"ID", "1"}, {"Text", "line one\nline two\r\x1b"}});
    AddTestInstance(container, "X_Note", {{"ID", "2"}, {"Text", "ok"}});
    const std::string report = RenderTextReport(container, fixedTime());
    EXPECT_NE(report.find("  1   line one\\nline two\\r\\x1B\n"), std::string::npos) << report;
    EXPECT_EQ(report.find('\r'), std::string::npos);
    EXPECT_EQ(report.find('\x1b'), std::string::npos);
}

}  // namespace
