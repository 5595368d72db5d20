#include "index_page.h"

#include <algorithm>
#include <map>
#include <memory>
#include <unordered_map>
#include <utility>

#include "class_rows.h"
#include "html_escape.h"
#include "html_page.h"
#include "html_table.h"
#include "index_list.h"
#include "page_names.h"
#include "reading_order.h"
#include "wyxcore/container.h"

namespace {

const TCIMInstance* firstInstance(const TContainer& container, const std::string& className) {
    const TCIMClass* cimClass = container.FindClass(className);
    if (!cimClass || !cimClass->GetInstanceCount()) return nullptr;
    return cimClass->EnumerateInstances(true).front();
}

std::string text(const TCIMInstance& instance, const std::string& name) {
    return EscapeHtml(PropertyText(instance, name));
}

std::string factsTable(const std::vector<std::pair<std::string, std::string> >& facts) {
    std::string out = "<table class=\"facts\">\n";
    for (const auto& fact : facts) out += "<tr><th>" + fact.first + "</th><td>" + fact.second + "</td></tr>\n";
    return out + "</table>\n";
}

std::string machineSection(const TContainer& container) {
    std::string out = "<h2 id=\"machine\">Machine</h2>\n";
    const TCIMInstance* system = firstInstance(container, "VARNSG_ComputerSystem");
    if (!system) return out + "<p class=\"empty\">No computer-system data in this report.</p>\n";
    std::string mtm = PropertyText(*system, "CMCMTM");
    const std::string mark = "{CMCMTM}";
    if (mtm.compare(0, mark.size(), mark) == 0) mtm.erase(0, mark.size());
    std::vector<std::pair<std::string, std::string> > facts = {
        {"Host name", text(*system, "Name")},
        {"Manufacturer", text(*system, "Manufacturer")},
        {"Model", text(*system, "Model")},
        {"Serial number", text(*system, "SerialNumber")},
        {"Machine type-model", EscapeHtml(mtm)}};
    if (const TCIMInstance* os = firstInstance(container, "VARNSG_OperatingSystem")) {
        for (const auto& property : os->GetProperties())
            if (property.first != "CreationClassName")
                facts.push_back({"Operating system " + EscapeHtml(property.first),
                                 EscapeHtml(DisplayValue(property.second))});
    }
    return out + factsTable(facts);
}

std::vector<const TCIMInstance*> instancesOf(const TContainer& container, const std::string& className) {
    const TCIMClass* cimClass = container.FindClass(className);
    return cimClass ? ReadingOrder(*cimClass) : std::vector<const TCIMInstance*>();
}

std::string heavyHittersSection(const TContainer& container) {
    const std::vector<const TCIMInstance*> records = instancesOf(container, "VARNSG_HeavyHittersLogRecord");
    if (records.empty())
        return "<section class=\"calm\"><h2 id=\"heavy-hitters\">Heavy hitters</h2>\n"
               "<p>No heavy hitters were recorded.</p></section>\n";
    std::vector<HtmlRow> rows;
    for (const TCIMInstance* record : records) {
        HtmlRow row;
        row.cells.push_back(ValueCell(record->GetPropertyValue("MessageTimestamp")));
        row.cells.push_back(ValueCell(record->GetPropertyValue("Message")));
        rows.push_back(row);
    }
    return "<section class=\"alert\"><h2 id=\"heavy-hitters\">Heavy hitters (" + std::to_string(rows.size()) +
           ")</h2>\n" + RenderHtmlTable("heavy", {"Time", "Message"}, rows) + "</section>\n";
}

// Rows of a class by the text of one property, each class and property indexed
// once: an analysis may leave thousands of findings about a log of thousands of entries.
class RowIndex {
public:
    // The page and anchor of the first instance of the class whose property has
    // that text, or the class's first page when there is none.
    std::string link(const TCIMClass& cimClass, const PageNames& pages, const std::string& property,
                     const std::string& value) {
        const auto key = std::make_pair(cimClass.GetName(), property);
        auto it = positions_.find(key);
        if (it == positions_.end()) {
            it = positions_.emplace(key, std::unordered_map<std::string, size_t>()).first;
            const std::vector<TCIMInstance*> instances = cimClass.EnumerateInstances(true);
            for (size_t i = 0; i < instances.size(); ++i) it->second.emplace(PropertyText(*instances[i], property), i);
        }
        const auto found = it->second.find(value);
        if (found == it->second.end()) return pages.Of(cimClass.GetName());
        std::unique_ptr<ClassRows>& rows = rows_[cimClass.GetName()];
        if (!rows) rows.reset(new ClassRows(cimClass));
        return pages.Of(cimClass.GetName(), rows->PageOf(found->second)) + "#i" + std::to_string(found->second);
    }

private:
    std::map<std::pair<std::string, std::string>, std::unordered_map<std::string, size_t> > positions_;
    std::map<std::string, std::unique_ptr<ClassRows> > rows_;
};

// The link to the instance that a finding names by "Property=Value".
std::string sourceLink(const TContainer& container, const PageNames& pages, const TCIMInstance& finding,
                       RowIndex* index) {
    const std::string className = PropertyText(finding, "SourceClass");
    const std::string key = PropertyText(finding, "SourceKey");
    const std::string label = EscapeHtml(className + (key.empty() ? "" : " " + key));
    const TCIMClass* source = container.FindClass(className);
    const size_t equals = key.find('=');
    if (!source || pages.Of(className).empty()) return label;
    const std::string href = equals == std::string::npos
                                 ? pages.Of(className)
                                 : index->link(*source, pages, key.substr(0, equals), key.substr(equals + 1));
    return "<a href=\"" + EscapeHtml(href) + "\">" + label + "</a>";
}

std::string findingsSection(const TContainer& container, const PageNames& pages) {
    const IndexList findings = FirstInstances(container, "VARNSG_AnalysisFinding");
    std::string out = "<h2 id=\"findings\">Findings of the analysis" +
                      (findings.total ? " (" + std::to_string(findings.total) + ")" : std::string()) + "</h2>\n";
    if (findings.shown.empty()) return out + "<p class=\"empty\">No findings.</p>\n";
    std::vector<HtmlRow> rows;
    RowIndex index;
    for (const TCIMInstance* finding : findings.shown) {
        HtmlRow row;
        const std::string severity = PropertyText(*finding, "Severity");
        row.cssClass = severity == "Error" ? "error" : severity == "Warning" ? "warning" : "";
        for (const char* name : {"Severity", "Category", "Description"})
            row.cells.push_back(ValueCell(finding->GetPropertyValue(name)));
        row.cells.push_back(HtmlCell{sourceLink(container, pages, *finding, &index), ""});
        row.cells.push_back(ValueCell(finding->GetPropertyValue("SourceMessage")));
        rows.push_back(row);
    }
    return out + NotShownNote(findings, "findings", pages) +
           RenderHtmlTable("findings-table", {"Severity", "Category", "Finding", "Source", "Source message"}, rows);
}

std::string versionSection(const TContainer& container, const PageNames& pages) {
    const IndexList checks = FirstInstances(container, "VARNSG_VersionCheck");
    if (checks.shown.empty()) return std::string();
    std::vector<HtmlRow> rows;
    for (const TCIMInstance* check : checks.shown) {
        HtmlRow row;
        if (PropertyText(*check, "UpToDate") == "No") row.cssClass = "warning";
        for (const char* name : {"Component", "InstalledVersion", "AvailableVersion", "Status"})
            row.cells.push_back(ValueCell(check->GetPropertyValue(name)));
        rows.push_back(row);
    }
    return "<h2 id=\"versions\">Version check</h2>\n" +
           NotShownNote(checks, "version checks", pages) +
           RenderHtmlTable("versions-table", {"Component", "Installed", "Available", "Status"}, rows);
}

std::string classesSection(const TContainer& container, const PageNames& pages) {
    std::vector<TCIMClass*> classes = container.GetClasses();
    std::sort(classes.begin(), classes.end(),
              [](const TCIMClass* a, const TCIMClass* b) { return a->GetName() < b->GetName(); });
    std::vector<HtmlRow> rows;
    for (const TCIMClass* cimClass : classes) {
        if (!cimClass->GetInstanceCount()) continue;
        HtmlRow row;
        row.cells.push_back(HtmlCell{"<a href=\"" + EscapeHtml(pages.Of(cimClass->GetName())) + "\">" +
                                         EscapeHtml(cimClass->GetName()) + "</a>", ""});
        row.cells.push_back(HtmlCell{std::to_string(cimClass->GetInstanceCount()), ""});
        rows.push_back(row);
    }
    std::string out = "<h2 id=\"classes\">Classes</h2>\n";
    if (rows.empty()) return out + "<p class=\"empty\">The report holds no instances.</p>\n";
    return out + RenderHtmlTable("classes-table", {"Class", "Instances"}, rows);
}

std::string typeName(const std::string& type) {
    static const char* const names[] = {"Error", "Warning", "Status", "Debug", "Verbose"};
    return type.size() == 1 && type[0] >= '0' && type[0] <= '4' ? names[type[0] - '0'] : type;
}

std::string runLogSection(const TContainer& container, const PageNames& pages) {
    std::string out = "<h2 id=\"run-log\">Run log</h2>\n";
    const IndexList records = FirstInstances(container, "VARNSG_OSKLogRecord");
    if (records.shown.empty()) return out + "<p class=\"empty\">No run-log records.</p>\n";
    std::vector<HtmlRow> rows;
    for (const TCIMInstance* record : records.shown) {
        HtmlRow row;
        const std::string type = typeName(PropertyText(*record, "Type"));
        row.cssClass = type == "Error" ? "error" : type == "Warning" ? "warning" : "";
        row.cells.push_back(ValueCell(record->GetPropertyValue("RecordID")));
        row.cells.push_back(ValueCell(record->GetPropertyValue("MessageTimestamp")));
        row.cells.push_back(HtmlCell{EscapeHtml(type), ""});
        row.cells.push_back(ValueCell(record->GetPropertyValue("Source")));
        row.cells.push_back(ValueCell(record->GetPropertyValue("Message")));
        rows.push_back(row);
    }
    return out + NotShownNote(records, "run-log records", pages) +
           RenderHtmlTable("runlog", {"Record", "Time", "Type", "Source", "Message"}, rows);
}

}  // namespace

std::string MachineLine(const TContainer& container) {
    const TCIMInstance* system = firstInstance(container, "VARNSG_ComputerSystem");
    if (!system) return "Unknown machine";
    return text(*system, "Name") + " &middot; " + text(*system, "Model") + " &middot; serial " +
           text(*system, "SerialNumber");
}

std::string RenderIndexPage(const TContainer& container, const PageNames& pages, const TCIMDateTime& writtenAt) {
    const TCIMInstance* system = firstInstance(container, "VARNSG_ComputerSystem");
    const std::string host = system ? PropertyText(*system, "Name") : std::string();
    std::string body = "<h1>Diagnostic report" + (host.empty() ? std::string() : " for " + EscapeHtml(host)) +
                       "</h1>\n<p>Written " + EscapeHtml(writtenAt.ToUIString()) + "</p>\n";
    body += machineSection(container);
    body += heavyHittersSection(container);
    body += findingsSection(container, pages);
    body += versionSection(container, pages);
    body += classesSection(container, pages);
    body += runLogSection(container, pages);
    const std::string nav = "<a href=\"#heavy-hitters\">Heavy hitters</a> &middot; <a href=\"#findings\">Findings</a>"
                            " &middot; <a href=\"#classes\">Classes</a> &middot; <a href=\"#run-log\">Run log</a>";
    return RenderHtmlPage("Diagnostic report" + (host.empty() ? std::string() : " for " + host), nav, body);
}
