#include "index_page.h"

#include <algorithm>

#include "html_escape.h"
#include "html_page.h"
#include "html_table.h"
#include "page_names.h"
#include "parts_page.h"
#include "plural.h"
#include "report_model.h"
#include "severity.h"
#include "url_encoding.h"
#include "value_display.h"
#include "wyxcore/calendar.h"
#include "wyxcore/container.h"

namespace {

// Errors listed in the banner; the run log holds them all. Few: the heavy
// hitters below it stay in view on a laptop's screen.
const size_t kBannerErrors = 3;
// Parts named on page one, one line each, so that the status and the heavy
// hitters below stay on a laptop's first screen; the parts page lists them all.
const size_t kVerdictLines = 8;
// Parts named where none is wrong.
const size_t kCheckedNames = 24;
// A run log this long shows only its errors and warnings on the index.
const size_t kIndexRunLog = 100;
// Finding groups on the index, the most severe and recent; a log of entries
// that all differ can make thousands, and the index must open at once.
const size_t kIndexGroups = 100;

HtmlCell text(const std::string& value) { return HtmlCell{EscapeHtml(value), ""}; }

HtmlCell link(const std::string& href, const std::string& label) {
    return HtmlCell{"<a href=\"" + EscapeHtml(href) + "\">" + EscapeHtml(label) + "</a>", ""};
}

HtmlCell timeCell(const ReportModel& model, bool has, const TCIMDateTime& at) {
    return has ? HtmlCell{EscapeHtml(ShownTime(model, at)), calendar::TimeSortKey(at)} : HtmlCell();
}

std::string runLogLink(const PageNames& pages, const RunLogEntry& entry) {
    return pages.Of("VARNSG_OSKLogRecord") + "#i" + std::to_string(entry.position);
}

std::string banner(const ReportModel& model, const PageNames& pages) {
    const CollectionStatus& status = model.status;
    if (!status.runLogSaved)
        return "<section class=\"banner unknown\" id=\"status\"><h2>Collection status unknown: the run log was not "
               "saved</h2>\n<p>Which collectors ran and what errors they logged is not in this file.</p></section>\n";
    if (status.complete)
        return "<section class=\"banner good\" id=\"status\"><h2>Collection complete</h2>\n<p>No collector logged an "
               "error.</p></section>\n";
    std::string out = "<section class=\"banner bad\" id=\"status\" role=\"alert\"><h2>Collection incomplete</h2>\n";
    const size_t errors = status.errors.size();
    out += "<p>" + std::to_string(errors) + (errors == 1 ? " error was" : " errors were") +
           " logged during the collection; what they name may be missing from this report.</p>\n<ul>\n";
    for (size_t i = 0; i < errors && i < kBannerErrors; ++i) {
        const RunLogEntry& entry = status.runLog[status.errors[i]];
        out += "<li><a href=\"" + EscapeHtml(runLogLink(pages, entry)) + "\">" + EscapeHtml(entry.source) + ": " +
               EscapeHtml(entry.message) + "</a></li>\n";
    }
    if (errors > kBannerErrors) out += "<li>and " + std::to_string(errors - kBannerErrors) + " more</li>\n";
    for (const CollectorStatus& c : status.collectors)
        if (c.state == CollectorState::kNotLoaded) out += "<li>" + EscapeHtml(c.plugin) + " was not loaded</li>\n";
    return out + "</ul></section>\n";
}

std::string partLink(const ReportModel& model, size_t index, const std::string& label) {
    const std::string anchor = PartAnchor(model, index);
    return "<a href=\"" + EscapeHtml(std::string(kPartsPage) + (anchor.empty() ? "" : "#" + anchor)) + "\">" +
           EscapeHtml(label) + "</a>";
}

std::string verdictSection(const ReportModel& model) {
    const PartsReport& parts = model.parts;
    const bool clean = parts.failing == 0 && parts.warnings == 0;
    // Green only where nothing is wrong, some part was checked and the collection is known complete.
    const bool known = model.status.runLogSaved && model.status.complete && parts.ok > 0;
    const std::string tone = !clean ? (parts.failing ? "bad" : "warn") : known ? "good" : "plain";
    std::string out = "<section class=\"verdict " + tone + "\" id=\"verdict\">";
    if (clean) {
        if (parts.ok == 0) {
            out += "<h2>No part checked: no source of this collection reports on the health of a part</h2>\n";
        } else {
            out += "<h2>Nothing wrong found: " + std::to_string(parts.ok) +
                   (parts.ok == 1 ? " part checked, OK" : " parts checked, all OK") + "</h2>\n<p class=\"checked\">";
            size_t named = 0;
            for (const Part& part : parts.parts) {
                if (part.verdict != Verdict::kOK || named == kCheckedNames) continue;
                out += (named++ ? ", " : "") + EscapeHtml(PartTitle(part));
            }
            if (parts.ok > named) out += " and " + std::to_string(parts.ok - named) + " more";
            out += " (<a href=\"" + std::string(kPartsPage) + "\">parts</a>)</p>\n";
        }
    } else {
        out += "<h2>" + EscapeHtml(PartsHeadline(parts)) + "</h2>\n<ol class=\"part-lines\">\n";
        size_t lines = 0;
        const size_t notOk = parts.failing + parts.warnings;
        for (size_t i = 0; i < parts.parts.size() && lines < kVerdictLines; ++i) {
            const Part& part = parts.parts[i];
            if (!VerdictIsFailing(part.verdict) && part.verdict != Verdict::kWarning) continue;
            ++lines;
            // The part, its evidence and when come first: a long reason is cut at the line's end (in full
            // on hovering, and on the parts page).
            out += "<li class=\"" + std::string(VerdictIsFailing(part.verdict) ? "error" : "warning") + "\" title=\"" +
                   EscapeHtml(part.reason) + "\"><span class=\"tag\">" + VerdictName(part.verdict) + "</span> " +
                   partLink(model, i, PartTitle(part)) + " &middot; " +
                   partLink(model, i, EvidenceCount(part.evidence.size()));
            if (part.hasLatest)
                out += " &middot; <span class=\"when\">latest " + EscapeHtml(ShownTime(model, part.latest)) + "</span>";
            if (!part.reason.empty()) out += " &middot; " + EscapeHtml(part.reason);
            out += "</li>\n";
        }
        if (notOk > lines)
            out += "<li>and " + std::to_string(notOk - lines) + " more on the <a href=\"" + kPartsPage +
                   "\">parts page</a></li>\n";
        out += "</ol>\n";
    }
    if (parts.unplaced)
        out += "<p class=\"note\">" + std::to_string(parts.unplaced) +
               (parts.unplaced == 1 ? " error or warning of the logs names" : " errors and warnings of the logs name") +
               " no part; see the <a href=\"#findings\">findings</a>.</p>\n";
    if (parts.unknown)
        out += "<p class=\"note\">" + std::to_string(parts.unknown) +
               (parts.unknown == 1 ? " part" : " parts") + " of unknown health: no source reports on " +
               (parts.unknown == 1 ? "it" : "them") + " (<a href=\"" + kPartsPage + "\">parts</a>).</p>\n";
    return out + "</section>\n";
}

std::string identitySection(const ReportModel& model) {
    const ReportIdentity& identity = model.identity;
    std::string out = "<h2 id=\"machine\">Machine</h2>\n";
    if (!identity.hasSystem) out += "<p class=\"empty\">No computer-system data in this report.</p>\n";
    out += "<table class=\"facts\"><caption>The machine as collected</caption>\n";
    for (const IdentityFact& fact : identity.facts) {
        out += "<tr><th scope=\"row\">" + EscapeHtml(fact.label) + "</th>";
        out += fact.value.empty() ? "<td class=\"missing\">" + EscapeHtml(fact.missing) + "</td></tr>\n"
                                  : "<td>" + EscapeHtml(fact.value) + "</td></tr>\n";
    }
    return out + "</table>\n";
}

std::string collectorsSection(const ReportModel& model, const PageNames& pages) {
    const CollectionStatus& status = model.status;
    std::string out = "<h2 id=\"collectors\">Collectors</h2>\n<p id=\"service-processor\" class=\"" +
                      std::string(status.serviceProcessorRead ? "sp" : "sp unread") + "\">" +
                      EscapeHtml(status.serviceProcessor) + "</p>\n";
    if (status.collectors.empty())
        return out + "<p class=\"empty\">The run log does not say which collectors ran.</p>\n";
    if (!status.collectorsRecorded)
        out += "<p class=\"note\">This collection did not record which collectors ran; listed are those that "
               "logged.</p>\n";
    std::vector<HtmlRow> rows;
    for (const CollectorStatus& c : status.collectors) {
        HtmlRow row;
        row.cssClass = CollectorStateIsFailure(c.state) ? "error" : "";
        row.cells = {text(c.plugin), text(c.selection), text(CollectorStateName(c.state)),
                     text(std::to_string(c.instancesAdded))};
        std::string errors = std::to_string(c.errors.size());
        if (!c.errors.empty()) {
            const RunLogEntry& first = status.runLog[c.errors.front()];
            row.cells.push_back(HtmlCell{"<a href=\"" + EscapeHtml(runLogLink(pages, first)) + "\">" + errors +
                                             "</a> " + EscapeHtml(first.message),
                                         ""});
        } else {
            row.cells.push_back(text(errors));
        }
        rows.push_back(row);
    }
    return out + RenderHtmlTable("collectors-table", "What each collector did",
                                 {"Collector", "Selection name", "Status", "Instances added", "Errors"}, rows);
}

std::string heavyHittersSection(const ReportModel& model) {
    const ClassTable* table = FindTable(model, "VARNSG_HeavyHittersLogRecord");
    const char kUnsaved[] = "The run log was not saved: the heavy hitters it held are not in this file.";
    if (!table && !model.status.runLogSaved)
        return std::string("<section class=\"plain\"><h2 id=\"heavy-hitters\">Heavy hitters unknown</h2>\n<p>") +
               kUnsaved + "</p></section>\n";
    if (!table)
        return std::string("<section class=\"") + (model.status.complete ? "calm" : "plain") +
               "\"><h2 id=\"heavy-hitters\">Heavy hitters</h2>\n<p>No heavy hitters were recorded.</p></section>\n";
    std::vector<HtmlRow> rows;
    for (const TCIMInstance* record : table->rows) {
        const TCIMDateTime* stamp = calendar::PointOf(record->GetPropertyValue("MessageTimestamp"));
        rows.push_back(HtmlRow{{timeCell(model, stamp != nullptr, stamp ? *stamp : TCIMDateTime()),
                                text(PropertyText(*record, "Message")), text(HeavyHitterDetailOf(model, *record))},
                               "", ""});
    }
    return "<section class=\"alert\"><h2 id=\"heavy-hitters\">Heavy hitters (" + std::to_string(rows.size()) +
           ")</h2>\n" +
           (model.status.runLogSaved ? std::string() : "<p class=\"note\">" + std::string(kUnsaved) + "</p>\n") +
           RenderHtmlTable("heavy", "Heavy hitters", {"Time", "Message", "From the run log"}, rows) +
           "</section>\n";
}

std::string findingsSection(const ReportModel& model, const PageNames& pages) {
    std::string out = "<h2 id=\"findings\">Findings of the analysis";
    if (model.findingCount)
        out += " (" + std::to_string(model.findingCount) + " in " + Counted(model.findings.size(), "group") + ")";
    out += "</h2>\n";
    if (model.findings.empty()) return out + "<p class=\"empty\">No findings.</p>\n";
    std::vector<HtmlRow> rows;
    for (const FindingGroup& group : model.findings) {
        if (rows.size() == kIndexGroups) break;
        HtmlRow row;
        row.cssClass = SeverityCssClass(group.severity);
        row.cells = {text(group.severity), text(group.category), text(group.description)};
        const std::string page = pages.Of(group.sourceClass);
        row.cells.push_back(page.empty() ? text(group.sourceClass) : link(page, group.sourceClass));
        row.cells.push_back(text(group.message));
        row.cells.push_back(HtmlCell{std::to_string(group.count), ""});
        row.cells.push_back(timeCell(model, group.hasTime, group.first));
        row.cells.push_back(timeCell(model, group.hasTime, group.last));
        row.cells.push_back(page.empty() ? HtmlCell()
                                         : link(page + "#q=" + UrlComponent(group.message),
                                                group.count == 1 ? "the entry" : "all " + std::to_string(group.count)));
        rows.push_back(row);
    }
    if (model.findings.size() > kIndexGroups)
        out += "<p class=\"more\">The first " + std::to_string(kIndexGroups) + " of " +
               std::to_string(model.findings.size()) + " groups; every finding is on the <a href=\"" +
               EscapeHtml(pages.Of("VARNSG_AnalysisFinding")) + "\">findings page</a>.</p>\n";
    return out + RenderHtmlTable("findings-table", "Findings grouped by rule, source and message; most severe and "
                                                   "most recent first",
                                 {"Severity", "Rule", "Finding", "Source", "Message", "Count", "First", "Last",
                                  "Entries"},
                                 rows);
}

std::string versionSection(const ReportModel& model) {
    const ClassTable* table = FindTable(model, "VARNSG_VersionCheck");
    if (!table) return std::string();
    std::vector<HtmlRow> rows;
    for (const TCIMInstance* check : table->rows) {
        HtmlRow row;
        if (PropertyText(*check, "UpToDate") == "No") row.cssClass = "warning";
        for (const char* name : {"Component", "InstalledVersion", "AvailableVersion", "Status"})
            row.cells.push_back(ValueCell(check->GetPropertyValue(name)));
        rows.push_back(row);
    }
    return "<h2 id=\"versions\">Version check</h2>\n" +
           RenderHtmlTable("versions-table", "Installed and available versions",
                           {"Component", "Installed", "Available", "Status"}, rows);
}

std::string classesSection(const ReportModel& model, const PageNames& pages) {
    std::string out = "<h2 id=\"classes\">Classes</h2>\n<p><a href=\"" + std::string(kTimelinePage) +
                      "\">Timeline</a>: " + Counted(model.timeline.size(), "time-stamped record") +
                      " of the collection in one order.</p>\n";
    std::vector<const ClassTable*> tables;
    for (const ClassTable& table : model.classes) tables.push_back(&table);
    std::sort(tables.begin(), tables.end(), [](const ClassTable* a, const ClassTable* b) {
        return a->cimClass->GetName() < b->cimClass->GetName();
    });
    std::vector<HtmlRow> rows;
    for (const ClassTable* table : tables) {
        const std::string& name = table->cimClass->GetName();
        rows.push_back(HtmlRow{{link(pages.Of(name), name), HtmlCell{std::to_string(table->rows.size()), ""}}, "", ""});
    }
    // A class the collection declares but holds nothing of: a log that was empty, a collector that found nothing.
    for (const TCIMClass* cimClass : model.emptyClasses)
        rows.push_back(HtmlRow{{text(cimClass->GetName()), HtmlCell{"0", ""}}, "", "empty"});
    if (model.classes.empty()) out += "<p class=\"empty\">The report holds no instances.</p>\n";
    if (rows.empty()) return out;
    return out + RenderHtmlTable("classes-table", "Classes and their instances", {"Class", "Instances"}, rows);
}

std::string runLogSection(const ReportModel& model, const PageNames& pages) {
    const std::vector<RunLogEntry>& log = model.status.runLog;
    std::string out = "<h2 id=\"run-log\">Run log</h2>\n";
    if (log.empty()) return out + "<p class=\"empty\">No run-log records.</p>\n";
    const bool all = log.size() <= kIndexRunLog;
    std::vector<HtmlRow> rows;
    for (const RunLogEntry& entry : log) {
        if (!all && StyleOfSeverity(entry.typeName) == SeverityStyle::kPlain) continue;
        HtmlRow row;
        row.cssClass = SeverityCssClass(entry.typeName);
        row.cells = {link(runLogLink(pages, entry), entry.recordId), timeCell(model, entry.hasTime, entry.at),
                     text(entry.typeName), text(entry.source), text(entry.message)};
        rows.push_back(row);
    }
    if (!all)
        out += "<p class=\"more\">The errors and warnings of " + std::to_string(log.size()) +
               " records; all of them are on the <a href=\"" + EscapeHtml(pages.Of("VARNSG_OSKLogRecord")) +
               "\">run-log page</a>.</p>\n";
    return out + RenderHtmlTable("runlog", "Run log", {"Record", "Time", "Type", "Source", "Message"}, rows);
}

}  // namespace

std::string RenderIndexPage(const ReportModel& model, const PageNames& pages) {
    const ReportIdentity& identity = model.identity;
    const std::string title = "Diagnostic report" + (identity.host.empty() ? std::string() : " for " + identity.host);
    std::string body = "<h1>" + EscapeHtml(title) + "</h1>\n<p class=\"when\">";
    body += identity.hasCollectionTime ? "Collected " + EscapeHtml(ShownTime(model, identity.collectedAt))
                                       : std::string("Collection time not recorded");
    body += " &middot; " + EscapeHtml(identity.machineLine);
    if (identity.renderedLater) body += " &middot; report written " + EscapeHtml(identity.renderedAt.ToUIString());
    // What is failing first, then whether the collection is whole, then the heavy hitters: above the fold.
    body += "</p>\n" + verdictSection(model) + banner(model, pages) + heavyHittersSection(model);
    body += findingsSection(model, pages) + identitySection(model) + collectorsSection(model, pages);
    body += versionSection(model) + classesSection(model, pages) + runLogSection(model, pages);
    const std::string nav = "<a href=\"#verdict\">Verdict</a> &middot; <a href=\"" + std::string(kPartsPage) +
                            "\">Parts</a> &middot; <a href=\"#status\">Status</a> &middot; "
                            "<a href=\"#heavy-hitters\">Heavy hitters</a> &middot; <a href=\"#findings\">Findings</a>"
                            " &middot; <a href=\"#collectors\">Collectors</a> &middot; <a href=\"" +
                            std::string(kTimelinePage) + "\">Timeline</a> &middot; "
                            "<a href=\"#classes\">Classes</a> &middot; <a href=\"#run-log\">Run log</a>";
    return RenderHtmlPage(title, nav, body);
}
