#include <regex>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "index_list.h"
#include "index_page.h"
#include "page_names.h"
#include "page_split.h"
#include "paged_log.h"
#include "support/sample_container.h"

namespace {

TCIMDateTime writtenAt() {
    TCIMDateTime value;
    value.Set(2026, 12, 8, 5, 31, 0, 0, 60);
    return value;
}

void declareFindings(TContainer& container) {
    DeclareTestClass(container, "VARNSG_AnalysisFinding",
                     {{"Severity", kCIMString}, {"Category", kCIMString}, {"Description", kCIMString},
                      {"SourceClass", kCIMString}, {"SourceKey", kCIMString}, {"SourceMessage", kCIMString}});
}

void addFinding(TContainer& container, const std::string& recordId) {
    AddTestInstance(container, "VARNSG_AnalysisFinding",
                    {{"Severity", "Error"}, {"Category", "Service processor"}, {"Description", "error entry"},
                     {"SourceClass", "VARNSG_ULKLog"}, {"SourceKey", "RecordID=" + recordId},
                     {"SourceMessage", "entry " + recordId}});
}

std::string renderIndex(const TContainer& container) {
    std::vector<const TCIMClass*> classes;
    for (const TCIMClass* c : container.GetClasses())
        if (c->GetInstanceCount()) classes.push_back(c);
    return RenderIndexPage(container, PageNames(classes), writtenAt());
}

// The body rows of the table with that id.
size_t tableRows(const std::string& html, const std::string& id) {
    const size_t start = html.find("<table class=\"data\" id=\"" + id + "\">");
    if (start == std::string::npos) return 0;
    const size_t end = html.find("</table>", start);
    size_t rows = 0;
    for (size_t at = html.find("<tr", start); at < end; at = html.find("<tr", at + 1)) ++rows;
    return rows - 1;   // the heading row
}

TEST(IndexPage, FindingLinksToThePageThatHoldsItsSourceRow) {
    TContainer container;
    const size_t count = 2 * kRowsPerPage + 1;
    AddReversedLog(container, count);
    declareFindings(container);
    const std::string last = std::to_string(count - kRowsPerPage);        // row kRowsPerPage - 1
    const std::string next = std::to_string(count - kRowsPerPage - 1);    // row kRowsPerPage
    const struct { std::string recordId, href; } cases[] = {
        {std::to_string(count), "VARNSG_ULKLog.html#i" + std::to_string(count - 1)},   // latest: the first row
        {std::to_string(count - kRowsPerPage + 1), "VARNSG_ULKLog.html#i" + last},   // the first page's last row
        {std::to_string(count - kRowsPerPage), "VARNSG_ULKLog.p2.html#i" + next},     // the second page's first
        {"11", "VARNSG_ULKLog.p2.html#i10"},
        {"1", "VARNSG_ULKLog.p3.html#i0"},      // earliest: the only row of the last page
        {"9999", "VARNSG_ULKLog.html"},         // no such entry: the class's first page
    };
    for (const auto& c : cases) addFinding(container, c.recordId);
    const std::string page = renderIndex(container);
    for (const auto& c : cases)
        EXPECT_NE(page.find("<a href=\"" + c.href + "\">VARNSG_ULKLog RecordID=" + c.recordId + "</a>"),
                  std::string::npos)
            << c.recordId;
}

TEST(IndexPage, LongListsShowTheirFirstRowsAndSayHowManyAreNotShown) {
    TContainer container;
    FillSampleContainer(container);
    declareFindings(container);
    const size_t findings = kRowsPerPage + 1, heavy = kIndexListRows + 5, runLog = kIndexListRows + 1;
    for (size_t i = 0; i < findings; ++i) addFinding(container, std::to_string(i + 1));
    for (size_t i = 2; i < heavy; ++i)
        AddTestInstance(container, "VARNSG_HeavyHittersLogRecord",
                        {{"Message", "heavy " + std::to_string(i)}, {"MessageTimestamp", "20261208053000.000000+060"}});
    for (size_t i = 3; i < runLog; ++i)
        AddTestInstance(container, "VARNSG_OSKLogRecord",
                        {{"Type", "2"}, {"Message", "record " + std::to_string(i)},
                         {"MessageTimestamp", "20261208053000.000000+060"}});
    const std::string page = renderIndex(container);
    const std::string first = "Showing the first " + std::to_string(kIndexListRows) + " of ";
    const struct { const char* table; size_t rows; std::string note; } cases[] = {
        {"heavy", heavy, ""},   // never cut
        {"findings-table", kIndexListRows,
         first + std::to_string(findings) + " findings; " + std::to_string(findings - kIndexListRows) +
             " are not shown here. All of them are on the "
             "<a href=\"VARNSG_AnalysisFinding.html\">VARNSG_AnalysisFinding</a> pages (2 pages)."},
        {"runlog", kIndexListRows,
         first + std::to_string(runLog) + " run-log records; 1 is not shown here. All of them are on the "
         "<a href=\"VARNSG_OSKLogRecord.html\">VARNSG_OSKLogRecord</a> pages (1 page)."},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(tableRows(page, c.table), c.rows) << c.table;
        if (c.note.empty()) continue;
        EXPECT_NE(page.find(c.note), std::string::npos) << c.table;
    }
    EXPECT_EQ(page.find("Showing the first", page.find("id=\"heavy\"")), page.find(first + std::to_string(findings)));
    EXPECT_NE(page.find("Findings of the analysis (" + std::to_string(findings) + ")"), std::string::npos);
    const std::string lastShown = "VARNSG_ULKLog RecordID=" + std::to_string(kIndexListRows) + "<";
    const std::string firstHidden = "VARNSG_ULKLog RecordID=" + std::to_string(kIndexListRows + 1) + "<";
    EXPECT_NE(page.find(lastShown), std::string::npos);   // the first ones, in order
    EXPECT_EQ(page.find(firstHidden), std::string::npos);
}

TEST(IndexPage, ShortListsAreWhole) {
    TContainer container;
    FillSampleContainer(container);
    declareFindings(container);
    for (size_t i = 0; i < kIndexListRows; ++i) addFinding(container, std::to_string(i + 1));
    const std::string page = renderIndex(container);
    EXPECT_EQ(tableRows(page, "findings-table"), kIndexListRows);
    EXPECT_EQ(tableRows(page, "runlog"), 3u);
    EXPECT_EQ(page.find("not shown here"), std::string::npos);
}

TEST(IndexPage, EveryIdIsUniqueSoEachFilterFindsItsTable) {
    TContainer container;
    FillSampleContainer(container);
    declareFindings(container);
    addFinding(container, "1");
    DeclareTestClass(container, "VARNSG_VersionCheck", {{"Component", kCIMString}, {"Status", kCIMString}});
    AddTestInstance(container, "VARNSG_VersionCheck", {{"Component", "RAID driver"}, {"Status", "Not installed"}});
    const std::string page = renderIndex(container);
    std::set<std::string> ids;
    const std::regex id(" id=\"([^\"]*)\"");
    for (std::sregex_iterator it(page.begin(), page.end(), id), end; it != end; ++it)
        EXPECT_TRUE(ids.insert((*it)[1]).second) << "twice: " << (*it)[1];
    for (const std::string table : {"heavy", "findings-table", "versions-table", "classes-table", "runlog"}) {
        EXPECT_TRUE(ids.count(table)) << table;
        EXPECT_NE(page.find("data-table=\"" + table + "\""), std::string::npos) << table;
    }
}

}  // namespace
