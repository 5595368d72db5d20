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
