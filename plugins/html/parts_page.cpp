#include "parts_page.h"

#include <algorithm>

#include "grid_data.h"
#include "html_escape.h"
#include "html_page.h"
#include "html_table.h"
#include "page_names.h"
#include "plural.h"
#include "report_model.h"
#include "url_encoding.h"
#include "wyxcore/calendar.h"

namespace {

const char kId[] = "parts";
const std::vector<std::string> kColumns = {"Verdict", "Kind", "Part", "Also named", "Latest evidence", "Evidence",
                                           "Why"};
const size_t kVerdictColumn = 0, kKindColumn = 1;
// The parts whose evidence the page lists, and how much of each: the page of
// a collection of thousands opens at once (a list of 10,000 pieces took
// Chromium three seconds); every row is on its class's page.
const size_t kListedParts = 100;
const size_t kListedEvidence = 10;

std::string select(const std::string& id, const std::string& label) {
    return "<label>" + label + " <select id=\"" + id + "\"><option value=\"\">All</option></select></label>";
}

JsonValue filter(size_t column) {
    JsonValue filter = JsonValue::object();
    filter["column"] = column;
    return filter;
}

std::string verdictCss(Verdict verdict) {
    if (VerdictIsFailing(verdict)) return "error";
    return verdict == Verdict::kWarning ? "warning" : "";
}

std::string joined(const std::vector<std::string>& texts) {
    std::string out;
    for (const std::string& t : texts) out += (out.empty() ? "" : ", ") + t;
    return out;
}

std::string evidenceTime(const ReportModel& model, const PartEvidence& e) {
    if (!e.hasTime) return std::string();
    return ShownTime(model, e.at) + (e.timeTrusted ? "" : " (clock not trusted)");
}

std::string evidenceList(const ReportModel& model, const PageNames& names, const Part& part, size_t index) {
    std::string out = "<section class=\"part-evidence\" id=\"" + PartAnchor(model, index) + "\"><h3>" +
                      EscapeHtml(VerdictName(part.verdict)) + ": " + EscapeHtml(PartTitle(part)) + "</h3>\n<ul>\n";
    for (size_t i = 0; i < part.evidence.size() && i < kListedEvidence; ++i) {
        const PartEvidence& e = part.evidence[i];
        const std::string page = names.Of(e.className);
        const std::string what = e.className + " row " + std::to_string(e.position + 1);
        out += "<li class=\"" + SeverityCssClass(e.severity) + "\">";
        const std::string when = evidenceTime(model, e);
        if (!when.empty()) out += EscapeHtml(when) + " ";
        out += "<b>" + EscapeHtml(e.severity.empty() ? "Seen" : e.severity) + "</b> " + EscapeHtml(e.text) + " (";
        out += page.empty() ? EscapeHtml(what)
                            : "<a href=\"" + EscapeHtml(page + "#i" + std::to_string(e.position)) + "\">" +
                                  EscapeHtml(what) + "</a>";
        out += ")</li>\n";
    }
    if (part.evidence.size() > kListedEvidence) {
        // The rest, found on their classes' pages by the part's name.
        std::vector<std::string> classes;
        for (size_t i = kListedEvidence; i < part.evidence.size(); ++i)
            if (std::find(classes.begin(), classes.end(), part.evidence[i].className) == classes.end())
                classes.push_back(part.evidence[i].className);
        out += "<li>and " + std::to_string(part.evidence.size() - kListedEvidence) + " more:";
        for (const std::string& className : classes) {
            const std::string page = names.Of(className);
            if (page.empty()) {
                out += " " + EscapeHtml(className);
                continue;
            }
            out += " <a href=\"" + EscapeHtml(page + "#q=" + UrlComponent(part.name)) + "\">" + EscapeHtml(className) +
                   " rows holding &quot;" + EscapeHtml(part.name) + "&quot;</a>";
        }
        out += "</li>\n";
    }
    return out + "</ul></section>\n";
}

}  // namespace

std::string EvidenceCount(size_t count) { return Counted(count, "piece of evidence", "pieces of evidence"); }

std::string PartAnchor(const ReportModel& model, size_t index) {
    const std::vector<Part>& parts = model.parts.parts;
    if (index >= parts.size() || index >= kListedParts) return std::string();
    const Verdict verdict = parts[index].verdict;
    if (verdict == Verdict::kOK || verdict == Verdict::kUnknown) return std::string();
    return "part-" + std::to_string(index + 1);
}

void RenderPartsPage(const ReportModel& model, const PageNames& names, const WriteFile& write) {
    const std::vector<Part>& parts = model.parts.parts;
    GridData data(kId, kColumns);
    std::string details;
    for (size_t i = 0; i < parts.size(); ++i) {
        const Part& part = parts[i];
        GridCell latest;
        if (part.hasLatest) latest = GridCell{ShownTime(model, part.latest), calendar::TimeSortKey(part.latest), ""};
        GridCell evidence{std::to_string(part.evidence.size()), "", ""};
        const std::string anchor = PartAnchor(model, i);
        if (!anchor.empty()) {
            evidence.link = "#" + anchor;
            details += evidenceList(model, names, part, i);
        }
        data.AddRow({{VerdictName(part.verdict), "", ""}, {PartKindName(part.kind), "", ""}, {part.name, "", ""},
                     {joined(part.aliases), "", ""}, latest, evidence, {part.reason, "", ""}},
                    i, verdictCss(part.verdict));
    }
    data.AddMember("filters", JsonValue::array({filter(kVerdictColumn), filter(kKindColumn)}));
    const std::string id = kId;
    const std::string controls = select(id + "-by-" + std::to_string(kVerdictColumn), "Verdict") +
                                 select(id + "-by-" + std::to_string(kKindColumn), "Kind");
    std::string body = "<h1>Parts</h1>\n<p>" + EscapeHtml(PartsHeadline(model.parts)) + "; " +
                       std::to_string(model.parts.ok) + " OK, " + std::to_string(model.parts.unknown) +
                       " of unknown health (no source reports on them). Each part as its sources name it; two "
                       "names are one part only where they agree on kind and number.</p>\n";
    if (parts.empty()) {
        body += "<p class=\"empty\">No source of this collection names a part.</p>\n";
    } else {
        body += RenderGridFrame(id, "Parts, " + std::to_string(parts.size()) + " of them", kColumns, parts.size(),
                                controls);
    }
    if (!details.empty()) body += "<h2 id=\"evidence\">Evidence of the parts that are not OK</h2>\n" + details;
    write(kPartsData, data.Script());
    write(kPartsPage, RenderHtmlPage("Parts", TopLine(model), body, parts.empty() ? std::string() : kPartsData));
}
