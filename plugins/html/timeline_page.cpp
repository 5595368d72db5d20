#include "timeline_page.h"

#include <algorithm>

#include "grid_data.h"
#include "html_page.h"
#include "html_table.h"
#include "page_names.h"
#include "plural.h"
#include "report_model.h"
#include "wyxcore/calendar.h"

namespace {

const char kId[] = "timeline";
const std::vector<std::string> kColumns = {"Time", "Own clock", "Source", "Severity", "Message", "Record"};
const size_t kSourceColumn = 2, kSeverityColumn = 3;

std::string select(const std::string& id, const std::string& label) {
    return "<label>" + label + " <select id=\"" + id + "\"><option value=\"\">All</option></select></label>";
}

JsonValue window(const std::string& label, long long since) {
    JsonValue window = JsonValue::object();
    window["label"] = JsonText(label);
    window["since"] = since;
    return window;
}

JsonValue filter(size_t column) {
    JsonValue filter = JsonValue::object();
    filter["column"] = column;
    return filter;
}

}  // namespace

void RenderTimelinePage(const ReportModel& model, const PageNames& names, const WriteFile& write) {
    GridData data(kId, kColumns);
    JsonValue utc = JsonValue::array();
    long long latest = 0;
    for (const TimelineEntry& entry : model.timeline) {
        const long long seconds = calendar::UtcSeconds(entry.at);
        utc.push_back(seconds);
        latest = std::max(latest, seconds);
        GridCell record{entry.className + " row " + std::to_string(entry.position + 1), "", ""};
        const std::string page = names.Of(entry.className);
        if (!page.empty()) record.link = page + "#i" + std::to_string(entry.position);
        data.AddRow({{ShownTime(model, entry.at), calendar::TimeSortKey(entry.at), ""}, {entry.ownTime, "", ""},
                     {entry.source, "", ""}, {entry.severity, "", ""}, {entry.message, "", ""}, record},
                    data.Rows(),
                    SeverityCssClass(entry.severity));
    }
    // Windows end when the machine was collected, not when the report is read.
    const long long now = model.identity.hasCollectionTime ? calendar::UtcSeconds(model.identity.collectedAt) : latest;
    JsonValue windows = JsonValue::array();
    if (model.hasBoot) windows.push_back(window("Since the last boot", calendar::UtcSeconds(model.lastBoot)));
    windows.push_back(window("Last 24 hours", now - 86400));
    windows.push_back(window("Last 7 days", now - 7 * 86400));
    data.AddMember("utc", std::move(utc));
    data.AddMember("windows", std::move(windows));
    data.AddMember("filters", JsonValue::array({filter(kSourceColumn), filter(kSeverityColumn)}));

    const std::string id = kId;
    const std::string controls = select(id + "-by-" + std::to_string(kSourceColumn), "Source") +
                                 select(id + "-by-" + std::to_string(kSeverityColumn), "Severity") +
                                 "<label>Time <select id=\"" + id + "-window\"><option value=\"\">All</option>"
                                 "</select></label>";
    std::string body = "<h1>Timeline</h1>\n<p>Every time-stamped record of the collection in one order, by the "
                       "instant it happened. Times are on the collected machine's clock (" +
                       ZoneName(model.displayOffset) +
                       "); \"Own clock\" is what the recording clock said before it was corrected.</p>\n";
    body += RenderGridFrame(id, "Timeline, " + Counted(model.timeline.size(), "record"), kColumns,
                            model.timeline.size(), controls);
    write(kTimelineData, data.Script());
    write(kTimelinePage, RenderHtmlPage("Timeline", TopLine(model), body, kTimelineData));
}
