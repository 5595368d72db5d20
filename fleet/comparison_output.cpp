#include "comparison_output.h"

#include "comparison_tables.h"
#include "fleet_error.h"
#include "html_escape.h"
#include "html_page.h"
#include "html_table.h"
#include "text_cell.h"
#include "text_table.h"
#include "wyxcore/exception.h"
#include "wyxcore/output_directory.h"
#include "wyxcore/output_file.h"

namespace {

const size_t kTextColumn = 60;

}  // namespace

std::string RenderComparisonPage(const Comparison& comparison) {
    const auto tables = BuildComparisonTables(comparison);
    std::string navigation;
    for (const ComparisonTable& t : tables)
        navigation += "<a href=\"#" + t.id + "\">" + EscapeHtml(t.title) + "</a> ";
    std::string body = "<h1>What changed on " + EscapeHtml(comparison.newFacts.serial) + "</h1>\n";
    body += "<table class=\"facts\"><caption>The two collections</caption>\n";
    for (const auto& line : ComparisonHeader(comparison))
        body += "<tr><th scope=\"row\">" + EscapeHtml(line.first) + "</th><td>" + EscapeHtml(line.second) +
                "</td></tr>\n";
    body += "</table>\n";
    for (const ComparisonTable& t : tables) {
        body += "<h2 id=\"" + t.id + "\">" + EscapeHtml(t.title) + " (" + std::to_string(t.rows.size()) + ")</h2>\n";
        if (t.rows.empty()) {
            body += "<p class=\"empty\">" + EscapeHtml(t.empty) + "</p>\n";
            continue;
        }
        std::vector<HtmlRow> rows;
        for (size_t i = 0; i < t.rows.size(); ++i) {
            HtmlRow row;
            for (const std::string& cell : t.rows[i]) row.cells.push_back(HtmlCell{EscapeHtml(cell), ""});
            row.cssClass = SeverityCssClass(t.severities[i]);
            rows.push_back(row);
        }
        body += RenderHtmlTable(t.id + "-table", t.title, t.headings, rows);
    }
    return RenderHtmlPage("Compare " + comparison.newFacts.serial, navigation, body);
}

std::string RenderComparisonText(const Comparison& comparison) {
    std::string out = "What changed on " + PlainText(comparison.newFacts.serial) + "\n\n";
    std::vector<std::pair<std::string, std::string> > header;
    for (const auto& line : ComparisonHeader(comparison)) header.push_back({line.first, PlainText(line.second)});
    out += RenderTextPairs(header, 100, "");
    for (const ComparisonTable& t : BuildComparisonTables(comparison)) {
        out += "\n" + t.title + " (" + std::to_string(t.rows.size()) + ")\n";
        if (t.rows.empty()) {
            out += "  " + t.empty + "\n";
            continue;
        }
        std::vector<std::vector<std::string> > rows;
        for (const auto& r : t.rows) {
            std::vector<std::string> cells;
            for (const std::string& cell : r) cells.push_back(PlainText(cell));
            rows.push_back(cells);
        }
        out += RenderTextTable(t.headings, rows, kTextColumn, "  ");
    }
    return out;
}

void WriteComparison(const Comparison& comparison, const std::string& base) {
    try {
        TOutputDirectory directory(base);
        directory.Add("index.html", RenderComparisonPage(comparison));
        directory.Add(kStyleFile, ReportStyleSheet());
        directory.Add(kScriptFile, ReportScript());
        directory.Commit();
    } catch (const TWYXException& e) {
        throw FleetError("'" + base + "': cannot write the comparison page: " + e.what());
    }
    try {
        WriteOutputFile(base + ".txt", RenderComparisonText(comparison), true);
    } catch (const TWYXException& e) {
        throw FleetError("'" + base + ".txt': cannot write the comparison report: " + e.what());
    }
}
