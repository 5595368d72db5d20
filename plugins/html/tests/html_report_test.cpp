#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "class_page.h"
#include "html_report.h"
#include "html_table.h"
#include "index_page.h"
#include "page_names.h"
#include "page_split.h"
#include "paged_log.h"
#include "support/sample_container.h"
#include "wyxcore/exception.h"
#include "wyxcore/status.h"

namespace {

std::string readFile(const std::string& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TCIMDateTime at(int hour, int minute, int offset) {
    TCIMDateTime value;
    value.Set(2026, 12, 8, hour, minute, 0, 0, offset);
    return value;
}

TEST(DateTimeSortKey, OrdersInstantsAcrossOffsets) {
    // 10:00 at UTC+02:00 is 08:00 UTC, before 09:00 UTC; 23:30 at UTC-05:00 is the next day.
    const struct { TCIMDateTime earlier, later; } cases[] = {
        {at(10, 0, 120), at(9, 0, 0)},
        {at(9, 0, 0), at(9, 1, 0)},
        {at(23, 59, 0), at(23, 30, -300)},
        {at(0, 0, 0), at(0, 0, -1)},
    };
    for (const auto& c : cases) {
        EXPECT_LT(DateTimeSortKey(c.earlier), DateTimeSortKey(c.later))
            << c.earlier.ToString() << " " << c.later.ToString();
    }
    EXPECT_EQ(DateTimeSortKey(at(10, 0, 120)), DateTimeSortKey(at(8, 0, 0)));
}

TEST(PageNames, FileNamesAreSafeAndDistinct) {
    TContainer container;
    const char* const names[] = {"VARNSG_ULKLog", "Index", "a/b", "A?B", "varnsg_ulklog", ""};
    std::vector<const TCIMClass*> classes;
    for (const char* name : names) classes.push_back(container.AddClass(name));
    const PageNames pages(classes);
    const struct { const char* name; const char* page; } cases[] = {
        {"VARNSG_ULKLog", "VARNSG_ULKLog.html"},
        {"Index", "Index-2.html"},
        {"a/b", "a_b.html"},
        {"A?B", "A_B-2.html"},
        {"varnsg_ulklog", "varnsg_ulklog-2.html"},
        {"", "class.html"},
        {"Other", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(pages.Of(c.name), c.page) << c.name;
}

TEST(ClassPage, RowsInTimeOrderAnchoredByPositionAndEscaped) {
    TContainer container;
    FillSampleContainer(container);
    const TCIMClass& ulk = *container.FindClass("VARNSG_ULKLog");
    std::string page;
    RenderClassPages(ulk, PageNames({&ulk}), "srv01", [&page](const std::string& name, const std::string& html) {
        EXPECT_EQ(name, "VARNSG_ULKLog.html");
        page += html;
    });
    // Added as 1, 2, 3; happened 2, 1, 3.
    const size_t second = page.find("<tr id=\"i1\">");
    const size_t first = page.find("<tr id=\"i0\">");
    const size_t third = page.find("<tr id=\"i2\">");
    ASSERT_NE(second, std::string::npos);
    EXPECT_LT(second, first);
    EXPECT_LT(first, third);
    EXPECT_NE(page.find("&lt;script&gt;alert(1)&lt;/script&gt;"), std::string::npos);
    EXPECT_EQ(page.find("<script>alert"), std::string::npos);
    for (const char* column : {"CreationClassName", "MessageTimestamp", "LoggingSource", "Message"})
        EXPECT_NE(page.find(std::string(">") + column + "</button>"), std::string::npos) << column;
}

TEST(IndexPage, ShowsMachineHeavyHittersFirstAndLinksEveryClass) {
    TContainer container;
    FillSampleContainer(container);
    std::vector<const TCIMClass*> classes;
    for (const TCIMClass* c : container.GetClasses())
        if (c->GetInstanceCount()) classes.push_back(c);
    const std::string page = RenderIndexPage(container, PageNames(classes), at(5, 31, 60));
    for (const char* fact : {"srv01", "Maker &amp; Sons", "8865-1RY", "KQ12345", "Written 2026-12-08 05:31:00"})
        EXPECT_NE(page.find(fact), std::string::npos) << fact;
    const size_t heavy = page.find("id=\"heavy-hitters\">Heavy hitters (2)");
    ASSERT_NE(heavy, std::string::npos);
    EXPECT_LT(heavy, page.find("id=\"classes\""));
    EXPECT_LT(page.find("TRAV logs are not being collected"), page.find("The difference between the System clock"));
    for (const TCIMClass* c : classes)
        EXPECT_NE(page.find("<a href=\"" + c->GetName() + ".html\">"), std::string::npos) << c->GetName();
    EXPECT_NE(page.find("<tr class=\"error\"><td>1</td>"), std::string::npos);   // run-log error row
    EXPECT_NE(page.find("No findings."), std::string::npos);
}

TEST(IndexPage, FindingLinksToItsSourceRow) {
    TContainer container;
    FillSampleContainer(container);
    DeclareTestClass(container, "VARNSG_AnalysisFinding",
                     {{"Severity", kCIMString}, {"Category", kCIMString}, {"Description", kCIMString},
                      {"SourceClass", kCIMString}, {"SourceKey", kCIMString}, {"SourceMessage", kCIMString}});
    AddTestInstance(container, "VARNSG_AnalysisFinding",
                    {{"Severity", "Error"}, {"Category", "Fan"}, {"Description", "Fan missing or failed"},
                     {"SourceClass", "VARNSG_TRAVLog"}, {"SourceKey", "RecordID=3"},
                     {"SourceMessage", "Over temperature"}});
    std::vector<const TCIMClass*> classes;
    for (const TCIMClass* c : container.GetClasses())
        if (c->GetInstanceCount()) classes.push_back(c);
    const std::string page = RenderIndexPage(container, PageNames(classes), at(5, 31, 60));
    EXPECT_NE(page.find("<a href=\"VARNSG_TRAVLog.html#i2\">VARNSG_TRAVLog RecordID=3</a>"), std::string::npos);
    EXPECT_NE(page.find("<tr class=\"error\"><td>Error</td><td>Fan</td>"), std::string::npos);
}

TEST(WriteHtmlReport, WritesIndexAndOnePagePerClassWithInstances) {
    TContainer container;
    FillSampleContainer(container);
    container.AddClass("X_Empty");
    const std::string dir = "html_tests_out";
    WriteHtmlReport(container, dir, at(5, 31, 60));
    for (const char* page : {"index.html", "VARNSG_ULKLog.html", "VARNSG_TRAVLog.html",
                             "VARNSG_HeavyHittersLogRecord.html", "VARNSG_OSKLogRecord.html"}) {
        const std::string html = readFile(dir + "/" + page);
        EXPECT_EQ(html.compare(0, 15, "<!DOCTYPE html>"), 0) << page;
        EXPECT_NE(html.find("</html>\n"), std::string::npos) << page;
    }
    EXPECT_FALSE(std::ifstream((dir + "/X_Empty.html").c_str()).good());
    std::filesystem::remove_all(dir);
}

TEST(WriteHtmlReport, ReRenderLeavesNoStalePageAndKeepsTheUsersFiles) {
    namespace fs = std::filesystem;
    TContainer twoPages;
    AddReversedLog(twoPages, kRowsPerPage + 1);
    const fs::path dir = "html_tests_paged";
    fs::remove_all(dir);
    WriteHtmlReport(twoPages, dir.string(), at(5, 31, 60));
    for (const char* page : {"index.html", "VARNSG_ULKLog.html", "VARNSG_ULKLog.p2.html"})
        EXPECT_NE(readFile((dir / page).string()).find("</html>\n"), std::string::npos) << page;
    EXPECT_FALSE(fs::exists(dir / "VARNSG_ULKLog.p3.html"));
    std::ofstream((dir / "notes.txt").string().c_str()) << "the user's";
    TContainer onePage;
    AddReversedLog(onePage, 1);
    WriteHtmlReport(onePage, dir.string(), at(5, 31, 60));
    EXPECT_FALSE(fs::exists(dir / "VARNSG_ULKLog.p2.html"));
    EXPECT_NE(readFile((dir / "VARNSG_ULKLog.html").string()).find("</html>\n"), std::string::npos);
    EXPECT_EQ(readFile((dir / "notes.txt").string()), "the user's");
    fs::remove_all(dir);
}

TEST(WriteHtmlReport, UnwritableDirectoryIsAccessDenied) {
    std::ofstream("html_tests_file") << "a file, not a directory";
    TContainer container;
    FillSampleContainer(container);
    const char* const directories[] = {"html_tests_no_parent/sub/dir", "html_tests_file", "html_tests_file/sub", ""};
    for (const char* directory : directories) {
        try {
            WriteHtmlReport(container, directory, at(5, 31, 60));
            ADD_FAILURE() << "no exception for " << directory;
        } catch (const TWYXException& e) {
            EXPECT_EQ(e.GetStatus(), kWyxAccessDenied) << directory << ": " << e.what();
        }
    }
    std::remove("html_tests_file");
}

}  // namespace
