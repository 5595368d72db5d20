#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "class_page.h"
#include "expect_status.h"
#include "grid_data.h"
#include "html_report.h"
#include "index_page.h"
#include "page_names.h"
#include "parts_page.h"
#include "report_model.h"
#include "support/sample_container.h"
#include "timeline_page.h"
#include "wyxcore/exception.h"
#include "wyxcore/status.h"

namespace {

namespace fs = std::filesystem;

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TCIMDateTime at(int hour, int minute, int offset) {
    TCIMDateTime value;
    value.Set(2026, 12, 8, hour, minute, 0, 0, offset);
    return value;
}

PageNames pagesOf(const ReportModel& model) {
    std::vector<const TCIMClass*> classes;
    for (const ClassTable& table : model.classes) classes.push_back(table.cimClass);
    return PageNames(classes);
}

// The files a page renderer writes, by name.
std::map<std::string, std::string> rendered(const std::function<void(const WriteFile&)>& render) {
    std::map<std::string, std::string> files;
    render([&files](const std::string& name, const std::string& content) {
        EXPECT_EQ(files.count(name), 0u) << name;
        files[name] = content;
    });
    return files;
}

// The JSON a data file hands to the page: the script's string literal read back.
std::string jsonOf(const std::string& script) {
    const std::string head = "norbixTable(JSON.parse('", tail = "'));\n";
    EXPECT_EQ(script.compare(0, head.size(), head), 0);
    EXPECT_EQ(script.compare(script.size() - tail.size(), tail.size(), tail), 0);
    std::string json;
    for (size_t i = head.size(); i < script.size() - tail.size(); ++i) {
        EXPECT_NE(script[i], '\'') << i;   // nothing ends the literal early
        EXPECT_NE(script[i], '\n') << i;
        if (script[i] != '\\') {
            json += script[i];
        } else {
            ++i;
            json += script[i] == 'n' ? '\n' : script[i];
        }
    }
    return json;
}

TEST(PageNames, FileNamesAreSafeAndDistinct) {
    TContainer container;
    const char* const names[] = {"VARNSG_ULKLog", "Index", "a/b", "A?B", "varnsg_ulklog", "", "Timeline",
                                 "CON", "nul", "Com1", "LPT9", "aux", "PRN", "COM10", "CON.x", "a.b"};
    std::vector<const TCIMClass*> classes;
    for (const char* name : names) classes.push_back(container.AddClass(name));
    const PageNames pages(classes);
    const struct { const char* name; const char* page; const char* data; } cases[] = {
        {"VARNSG_ULKLog", "VARNSG_ULKLog.html", "VARNSG_ULKLog.data.js"},
        {"Index", "Index-2.html", "Index-2.data.js"},           // not the report's index.html
        {"a/b", "a_b.html", "a_b.data.js"},
        {"A?B", "A_B-2.html", "A_B-2.data.js"},
        {"varnsg_ulklog", "varnsg_ulklog-2.html", "varnsg_ulklog-2.data.js"},
        {"", "class.html", "class.data.js"},
        {"Timeline", "Timeline-2.html", "Timeline-2.data.js"},  // nor its timeline
        // Windows devices, whatever the extension: each lost the whole HTML output ("Invalid argument").
        {"CON", "_CON.html", "_CON.data.js"},
        {"nul", "_nul.html", "_nul.data.js"},
        {"Com1", "_Com1.html", "_Com1.data.js"},
        {"LPT9", "_LPT9.html", "_LPT9.data.js"},
        {"aux", "_aux.html", "_aux.data.js"},
        {"PRN", "_PRN.html", "_PRN.data.js"},
        {"COM10", "COM10.html", "COM10.data.js"},
        {"CON.x", "CON_x.html", "CON_x.data.js"},               // a stem's only dot is its extension's
        {"a.b", "a_b-3.html", "a_b-3.data.js"},
        {"Other", "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(pages.Of(c.name), c.page) << c.name;
        EXPECT_EQ(pages.DataOf(c.name), c.data) << c.name;
    }
    // Long names that differ only at their end: cut short, still distinct, within an output directory's bound.
    const std::string a = std::string(150, 'L') + "A", b = std::string(150, 'L') + "B";
    const PageNames longPages({container.AddClass(a), container.AddClass(b)});
    EXPECT_EQ(longPages.DataOf(a), std::string(80, 'L') + ".data.js");
    EXPECT_EQ(longPages.DataOf(b), std::string(80, 'L') + "-2.data.js");
}

TEST(GridData, RowsKeysAndLinksLineUp) {
    GridData data("t", {"When", "What"});
    data.AddRow({{"late", "k2", ""}, {"b", "", "p.html#i1"}}, 1, "error");
    data.AddRow({{"none", "", ""}, {"<c>", "", ""}}, 7);
    data.AddRow({{"early", "k1", ""}, {"a", "", ""}}, 0);
    data.AddMember("utc", JsonValue::array({1, 2, 3}));
    EXPECT_EQ(data.Rows(), 3u);
    EXPECT_EQ(jsonOf(data.Script()),
              "{\"id\":\"t\",\"columns\":[\"When\",\"What\"],\"pos\":[1,7,0],"
              "\"css\":[\"error\",\"\",\"\"],\"keys\":{\"0\":[\"k2\",\"\",\"k1\"]},"
              "\"links\":{\"1\":[\"p.html#i1\",\"\",\"\"]},\"utc\":[1,2,3],\"rows\":["
              "[\"late\",\"b\"],[\"none\",\"\\u003cc\\u003e\"],[\"early\",\"a\"]]}");
}

TEST(ClassPage, EveryRowInTimeOrderInItsDataFileAndTheSameValuesOnce) {
    TContainer container;
    FillSampleContainer(container);
    const ReportModel model = BuildReportModel(container, at(5, 31, 60));
    const PageNames pages = pagesOf(model);
    const auto files = rendered([&](const WriteFile& write) {
        RenderClassPage(*FindTable(model, "VARNSG_ULKLog"), model, pages, write);
    });
    ASSERT_EQ(files.size(), 2u);
    const std::string& page = files.at("VARNSG_ULKLog.html");
    const std::string data = jsonOf(files.at("VARNSG_ULKLog.data.js"));
    EXPECT_NE(page.find("<script src=\"VARNSG_ULKLog.data.js\"></script>"), std::string::npos);
    EXPECT_EQ(page.find("<script>"), std::string::npos);   // nothing inline: the policy allows only files
    EXPECT_NE(page.find("script-src 'self'"), std::string::npos);
    // Added as 1, 2, 3; happened 2, 1, 3.
    EXPECT_NE(data.find("\"pos\":[1,0,2]"), std::string::npos);
    EXPECT_NE(data.find("\\u003cscript\\u003ealert(1)\\u003c/script\\u003e"), std::string::npos);
    EXPECT_EQ(data.find("<script>alert"), std::string::npos);
    // In time order the entries of severity 0, 2 and 1: the source's own severity marks the row,
    // without an analysis too.
    EXPECT_NE(data.find("\"css\":[\"\",\"error\",\"warning\"]"), std::string::npos);
    // LogName and LogCreationClassName are the same in every row: said once above the table.
    EXPECT_NE(page.find("<th scope=\"row\">LogName</th><td>ULKEvent</td>"), std::string::npos);
    EXPECT_EQ(page.find(">LogName</button>"), std::string::npos);
    for (const char* column : {"MessageTimestamp", "Severity", "Message"})
        EXPECT_NE(page.find(std::string(">") + column + "</button>"), std::string::npos) << column;
    EXPECT_NE(page.find("aria-live=\"polite\""), std::string::npos);
    EXPECT_NE(page.find("<caption>VARNSG_ULKLog, 3 instances</caption>"), std::string::npos);
}

TEST(TimelinePage, RecordsInOrderLinkedToTheirRows) {
    TContainer container;
    FillSampleContainer(container);
    const ReportModel model = BuildReportModel(container, at(5, 31, 60));
    const auto files = rendered([&](const WriteFile& write) { RenderTimelinePage(model, pagesOf(model), write); });
    const std::string data = jsonOf(files.at("timeline.data.js"));
    // The earliest: the TRAV entry of 5 December, the sample's second; then the boot.
    const size_t trav = data.find("\"VARNSG_TRAVLog row 2\"");
    const size_t boot = data.find("\"Last boot\"");
    ASSERT_NE(trav, std::string::npos);
    EXPECT_LT(trav, boot);
    EXPECT_NE(data.find("\"VARNSG_TRAVLog.html#i1\""), std::string::npos);
    EXPECT_NE(data.find("\"2026-12-07 22:15:03\""), std::string::npos);   // the processor's own clock
    EXPECT_NE(data.find("{\"label\":\"Since the last boot\""), std::string::npos);
    EXPECT_NE(files.at("timeline.html").find("<select id=\"timeline-by-2\">"), std::string::npos);
}

TEST(IndexPage, VerdictFirstThenStatusHeavyHittersFindingsMachineAndCollectors) {
    const struct { const char* name; bool error; const char* banner; } cases[] = {
        {"an error logged", true, "<h2>Collection incomplete</h2>"},
        {"no error", false, "<h2>Collection complete</h2>"},
    };
    for (const auto& c : cases) {
        TContainer container;
        FillSampleContainer(container);   // its run log holds one quarnel error
        if (!c.error) container.FindClass("VARNSG_OSKLogRecord")->EnumerateInstances(true)[1]->SetPropertyValue(
            "Type", TCIMValue(static_cast<uint16_t>(2)));
        AddFinding(container, "Error", "Fan", "VARNSG_TRAVLog", "1", "Fan 3 missing. Fan 1 failed.",
                   "20261206101500.000000+060");
        const ReportModel model = BuildReportModel(container, at(5, 31, 60));
        const std::string page = RenderIndexPage(model, pagesOf(model));
        const size_t banner = page.find(c.banner);
        ASSERT_NE(banner, std::string::npos) << c.name;
        EXPECT_LT(page.find("id=\"verdict\""), banner) << c.name;
        EXPECT_LT(banner, page.find("id=\"heavy-hitters\"")) << c.name;
        EXPECT_LT(page.find("id=\"heavy-hitters\""), page.find("id=\"findings\"")) << c.name;
        EXPECT_LT(page.find("id=\"findings\""), page.find("id=\"machine\"")) << c.name;
        EXPECT_LT(page.find("id=\"machine\""), page.find("id=\"collectors\"")) << c.name;
        // The sample's TRAV entry names two failed fans, each a line with its evidence; another a warm CPU.
        EXPECT_NE(page.find("<h2>2 parts failing, 1 with a warning</h2>"), std::string::npos) << c.name;
        EXPECT_NE(page.find("<span class=\"tag\">Failed</span> <a href=\"parts.html#part-1\">Fan 1</a> &middot; "
                            "<a href=\"parts.html#part-1\">1 piece of evidence</a> &middot; <span class=\"when\">"
                            "latest 2026-12-06 10:15:00 (UTC+01:00)</span> &middot; Fan 3 missing. Fan 1 failed.</li>"),
                  std::string::npos) << c.name;
        EXPECT_NE(page.find("<a href=\"parts.html#part-3\">1 piece of evidence</a>"), std::string::npos) << c.name;
        // The banner names the error and links to its run-log row.
        EXPECT_EQ(page.find("<li><a href=\"VARNSG_OSKLogRecord.html#i1\">quarnel: Error adding data for "
                            "VARNSG_Quarnel</a></li>") != std::string::npos,
                  c.error) << c.name;
        for (const char* fact : {"srv01", "Maker &amp; Sons", "8865-1RY", "KQ12345", "Collected 2026-12-08 05:28:00"})
            EXPECT_NE(page.find(fact), std::string::npos) << fact;
        EXPECT_EQ(page.find("report written"), std::string::npos);   // rendered right after the collection
        EXPECT_NE(page.find("<a href=\"VARNSG_TRAVLog.html#q=Fan%203%20missing.%20Fan%201%20failed.\">the entry</a>"),
                  std::string::npos);
        EXPECT_LT(page.find("TRAV logs are not being collected"), page.find("The difference between the System clock"));
        EXPECT_NE(page.find("<a href=\"timeline.html\">Timeline</a>"), std::string::npos);
    }
}

// Every part in the data file, filterable by verdict and kind; the evidence of a part that is not OK
// listed below, each piece linked to its row, names escaped.
TEST(PartsPage, EveryPartWithItsEvidenceLinkedToItsRows) {
    TContainer container;
    DeclareReportClasses(container);
    DeclarePartSourceClasses(container);
    AddTestInstance(container, "VARNSG_MemoryErrorCounter", {{"Label", "<DIMM_A1>"}, {"UncorrectedCount", "3"}});
    AddTestInstance(container, "VARNSG_MemoryErrorCounter", {{"Label", "DIMM_A2"}, {"UncorrectedCount", "0"}});
    AddTestInstance(container, "VARNSG_Processor", {{"DeviceID", "CPU0"}});
    for (int i = 1; i <= 12; ++i)   // more than the page lists of one part
        AddTestInstance(container, "VARNSG_ULKLog", {{"RecordID", std::to_string(i)}, {"Severity", "1"},
                                                     {"Message", "Fan 9 slow"}});
    const ReportModel model = BuildReportModel(container, at(5, 31, 60));
    const auto files = rendered([&](const WriteFile& write) { RenderPartsPage(model, pagesOf(model), write); });
    const std::string& page = files.at("parts.html");
    const std::string data = jsonOf(files.at("parts.data.js"));
    EXPECT_NE(data.find("[\"Failed\",\"DIMM\",\"\\u003cDIMM_A1\\u003e\""), std::string::npos) << data;
    EXPECT_NE(data.find("[\"OK\",\"DIMM\",\"DIMM_A2\""), std::string::npos) << data;
    EXPECT_NE(data.find("[\"Unknown\",\"Processor\",\"CPU0\""), std::string::npos) << data;
    EXPECT_NE(page.find("<select id=\"parts-by-0\">"), std::string::npos);
    EXPECT_NE(page.find("<h3>Failed: &lt;DIMM_A1&gt;</h3>"), std::string::npos);
    EXPECT_NE(page.find("<a href=\"VARNSG_MemoryErrorCounter.html#i0\">VARNSG_MemoryErrorCounter row 1</a>"),
              std::string::npos);
    EXPECT_EQ(page.find("<DIMM_A1>"), std::string::npos);
    EXPECT_NE(page.find("<li>and 2 more: <a href=\"VARNSG_ULKLog.html#q=Fan%209\">VARNSG_ULKLog rows holding "
                        "&quot;Fan 9&quot;</a></li>"), std::string::npos);
    EXPECT_EQ(page.find("Failed: DIMM_A2"), std::string::npos);   // OK parts have no evidence list
}

// Without a run log page one says what it cannot know; with nothing wrong it says so in one line.
TEST(IndexPage, HonestWithoutARunLogAndShortWhenNothingIsWrong) {
    const struct {
        const char* name;
        bool runLog;
        const char* counters;   // uncorrected errors of the one DIMM; null: no DIMM counted
        std::vector<const char*> present, absent;
    } cases[] = {
        {"no run log", false, "1",
         {"<h2>Collection status unknown: the run log was not saved</h2>", "Heavy hitters unknown</h2>",
          "<h2>1 part failing</h2>", "class=\"verdict bad\""},
         {"Collection complete", "No heavy hitters were recorded", "class=\"banner good\""}},
        {"no run log, nothing wrong", false, "0",
         {"Collection status unknown", "<h2>Nothing wrong found: 1 part checked, OK</h2>", "class=\"verdict plain\""},
         {"class=\"verdict good\"", "Collection complete"}},
        {"complete, nothing wrong", true, "0",
         {"<h2>Collection complete</h2>", "<h2>Nothing wrong found: 1 part checked, OK</h2>",
          "<p class=\"checked\">DIMM_A1 (", "class=\"verdict good\""},
         {"Collection status unknown", "Heavy hitters unknown"}},
        {"complete, no part checked", true, nullptr, {"class=\"verdict plain\""}, {"class=\"verdict good\""}},
    };
    for (const auto& c : cases) {
        TContainer container;
        DeclareReportClasses(container);
        DeclarePartSourceClasses(container);
        if (c.runLog) AddRunLogRecord(container, "0", "Core", "2", "20261208052800.000000+060", "Command line: norbix");
        if (c.counters)
            AddTestInstance(container, "VARNSG_MemoryErrorCounter",
                            {{"Label", "DIMM_A1"}, {"CorrectedCount", "0"}, {"UncorrectedCount", c.counters}});
        const ReportModel model = BuildReportModel(container, at(5, 31, 60));
        const std::string page = RenderIndexPage(model, pagesOf(model));
        for (const char* text : c.present) EXPECT_NE(page.find(text), std::string::npos) << c.name << ": " << text;
        for (const char* text : c.absent) EXPECT_EQ(page.find(text), std::string::npos) << c.name << ": " << text;
    }
}

TEST(WriteHtmlReport, WritesEveryFileAndAReRenderLeavesNoStaleOne) {
    TContainer container;
    FillSampleContainer(container);
    container.AddClass("X_Empty");
    const fs::path dir = "html_tests_out";
    fs::remove_all(dir);
    WriteHtmlReport(container, dir.string(), at(5, 31, 60));
    for (const char* page : {"index.html", "timeline.html", "VARNSG_ULKLog.html", "VARNSG_TRAVLog.html",
                             "VARNSG_HeavyHittersLogRecord.html", "VARNSG_OSKLogRecord.html"}) {
        const std::string html = readFile(dir / page);
        EXPECT_EQ(html.compare(0, 15, "<!DOCTYPE html>"), 0) << page;
        EXPECT_NE(html.find("</html>\n"), std::string::npos) << page;
    }
    for (const char* file : {"report.css", "report.js", "timeline.data.js", "VARNSG_TRAVLog.data.js"})
        EXPECT_FALSE(readFile(dir / file).empty()) << file;
    EXPECT_FALSE(fs::exists(dir / "X_Empty.html"));
    // Rendered again without the TRAV log: its page and data go, the user's notes stay.
    std::ofstream((dir / "notes.txt").string().c_str()) << "the user's";
    TContainer without;
    DeclareReportClasses(without);
    AddTestInstance(without, "VARNSG_ULKLog", {{"RecordID", "1"}, {"Message", "only"}});
    WriteHtmlReport(without, dir.string(), at(5, 31, 60));
    EXPECT_FALSE(fs::exists(dir / "VARNSG_TRAVLog.html"));
    EXPECT_FALSE(fs::exists(dir / "VARNSG_TRAVLog.data.js"));
    EXPECT_NE(readFile(dir / "VARNSG_ULKLog.html").find("</html>\n"), std::string::npos);
    EXPECT_EQ(readFile(dir / "notes.txt"), "the user's");
    fs::remove_all(dir);
}

TEST(WriteHtmlReport, UnwritableDirectoryIsAccessDenied) {
    std::ofstream("html_tests_file") << "a file, not a directory";
    TContainer container;
    FillSampleContainer(container);
    const char* const directories[] = {"html_tests_no_parent/sub/dir", "html_tests_file", "html_tests_file/sub", ""};
    for (const char* directory : directories) {
        EXPECT_STATUS(WriteHtmlReport(container, directory, at(5, 31, 60)), kWyxAccessDenied) << directory;
    }
    std::remove("html_tests_file");
}

}  // namespace
