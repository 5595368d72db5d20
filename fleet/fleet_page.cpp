#include "fleet_page.h"

#include "comparison_output.h"
#include "fleet_error.h"
#include "html_escape.h"
#include "html_page.h"
#include "html_table.h"
#include "plural.h"
#include "wyxcore/exception.h"
#include "wyxcore/output_directory.h"

namespace {

HtmlCell text(const std::string& value) { return HtmlCell{EscapeHtml(value), ""}; }

std::string joined(const std::vector<std::string>& words) {
    std::string out;
    for (const std::string& w : words) out += (out.empty() ? "" : ", ") + w;
    return out;
}

std::string section(const std::string& id, const std::string& title, size_t count, const std::string& empty,
                    const std::vector<std::string>& headings, const std::vector<HtmlRow>& rows) {
    std::string out = "<h2 id=\"" + id + "\">" + EscapeHtml(title) + " (" + std::to_string(count) + ")</h2>\n";
    if (rows.empty()) return out + "<p class=\"empty\">" + EscapeHtml(empty) + "</p>\n";
    return out + RenderHtmlTable(id + "-table", title, headings, rows);
}

}  // namespace

std::string RenderFleetPage(const FleetReport& report) {
    std::vector<HtmlRow> servers;
    for (const FleetServer& s : report.servers) {
        HtmlRow row;
        row.cells = {text(s.serial), text(s.typeModel), text(s.host), text(s.latestFile), text(s.latestCollected),
                     text(s.verdict), text(std::to_string(s.collections))};
        row.cells.push_back(s.latestCompare.empty()
                                ? text("-")
                                : HtmlCell{"<a href=\"" + EscapeHtml(s.latestCompare) + "\">what changed</a>", ""});
        row.cssClass = SeverityCssClass(s.verdictSeverity);
        servers.push_back(row);
    }
    std::vector<HtmlRow> findings;
    for (const FleetFindingGroup& f : report.findings) {
        HtmlRow row;
        row.cells = {text(f.severity), text(f.category), text(f.description), text(f.message),
                     text(std::to_string(f.servers.size())), text(joined(f.servers))};
        row.cssClass = SeverityCssClass(f.severity);
        findings.push_back(row);
    }
    std::vector<HtmlRow> versions;
    for (const FleetVersion& v : report.versions) {
        HtmlRow row;
        row.cells = {text(v.typeModel), text(v.kind), text(v.name), text(v.version),
                     text(std::to_string(v.servers.size())), text(joined(v.servers)), text(v.outlier ? "outlier" : "")};
        if (v.outlier) row.cssClass = "warning";
        versions.push_back(row);
    }
    std::vector<HtmlRow> compares;
    for (const FleetCompare& c : report.compares) {
        HtmlRow row;
        row.cells = {text(c.serial), text(c.oldFile), text(c.newFile),
                     HtmlCell{"<a href=\"" + EscapeHtml(c.page) + "\">" + EscapeHtml(c.summary) + "</a>", ""}};
        compares.push_back(row);
    }
    std::string body = "<h1>Fleet</h1>\n<p>" + Counted(report.servers.size(), "server") + ", " +
                       Counted(report.collectionCount, "collection") + ".</p>\n";
    body += section("servers", "Servers", report.servers.size(), "The store holds no collection.",
                    {"Serial", "Type-model", "Host", "Latest collection", "Collected", "Verdict", "Collections",
                     "Compare"},
                    servers);
    body += section("findings", "Findings across the fleet", report.findings.size(),
                    "No latest collection has a finding.",
                    {"Severity", "Rule", "Description", "Message", "Servers", "Which"}, findings);
    body += section("versions", "Versions by type-model", report.versions.size(), "No collection lists versions.",
                    {"Type-model", "Kind", "Name", "Version", "Servers", "Which", "Outlier"}, versions);
    body += "<p class=\"note\">Installed packages are left out here; the store's table versions holds them (kind " +
            std::string(kPackageKind) + ").</p>\n";
    body += section("compares", "Collections compared with their predecessor", report.compares.size(),
                    "No server has more than one collection.", {"Serial", "OLD", "NEW", "What changed"}, compares);
    const std::string navigation = "<a href=\"#servers\">Servers</a> <a href=\"#findings\">Findings</a> "
                                   "<a href=\"#versions\">Versions</a> <a href=\"#compares\">Compares</a>";
    return RenderHtmlPage("Fleet", navigation, body);
}

FleetReport WriteFleetReport(SqlConnection& store, const std::string& folder) {
    try {
        TOutputDirectory directory(folder);
        const FleetReport report = BuildFleetReport(store, [&directory](const FleetCompare& c, const Comparison& cmp) {
            directory.Add(c.page, RenderComparisonPage(cmp));
        });
        directory.Add("index.html", RenderFleetPage(report));
        directory.Add(kStyleFile, ReportStyleSheet());
        directory.Add(kScriptFile, ReportScript());
        directory.Commit();
        return report;
    } catch (const TWYXException& e) {
        throw FleetError("'" + folder + "': cannot write the fleet report: " + e.what());
    }
}
