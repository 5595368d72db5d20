#include "timeline_page.h"

#include <algorithm>

#include "grid_data.h"
#include "html_escape.h"
#include "html_page.h"
#include "html_table.h"
#include "page_names.h"
#include "report_model.h"
#include "report_time.h"

namespace {

const char kId[] = "timeline";
const std::vector<std::string> kColumns = {"Time", "Own clock", "Source", "Severity", "Message", "Record"};
const size_t kSourceColumn = 2, kSeverityColumn = 3;

std::string select(const std::string& id, const std::string& label) {
    return "<label>" + label + " <select id=\"" + id + "\"><option value=\"\">All</option></select></label>";
}

std::string window(const std::string& label, long long since) {
    return "{\"label\":" + JsonString(label) + ",\"since\":" + std::to_string(since) + "}";
}

}  // namespace

void RenderTimelinePage(const ReportModel& model, const PageNames& names, const WriteFile& write) {
    GridData data(kId, kColumns);
    std::string utc;
    long long latest = 0;
    for (const TimelineEntry& entry : model.timeline) {
        const long long seconds = UtcSeconds(entry.at);
        utc += (utc.empty() ? "" : ",") + std::to_string(seconds);
        latest = std::max(latest, seconds);
        GridCell record{entry.className + " row " + std::to_string(entry.position + 1), "", ""};
        const std::string page = names.Of(entry.className);
        if (!page.empty()) record.link = page + "#i" + std::to_string(entry.position);
        data.AddRow({{ShownTime(model, entry.at), TimeSortKey(entry.at), ""}, {entry.ownTime, "", ""},
                     {entry.source, "", ""}, {entry.severity, "", ""}, {entry.message, "", ""}, record},
                    data.Rows(),
                    SeverityCssClass(entry.severity));
    }
    // Windows end when the machine was collected, not when the report is read.
    const long long now = model.identity.hasCollectionTime ? UtcSeconds(model.identity.collectedAt) : latest;
    std::string windows = "[";
    if (model.hasBoot) windows += window("Since the last boot", UtcSeconds(model.lastBoot)) + ",";
    windows += window("Last 24 hours", now - 86400) + "," + window("Last 7 days", now - 7 * 86400) + "]";
    data.AddMember("utc", "[" + utc + "]");
    data.AddMember("windows", windows);
    data.AddMember("filters", "[{\"column\":" + std::to_string(kSourceColumn) + "},{\"column\":" +
                                  std::to_string(kSeverityColumn) + "}]");

    const std::string id = kId;
    const std::string controls = select(id + "-by-" + std::to_string(kSourceColumn), "Source") +
                                 select(id + "-by-" + std::to_string(kSeverityColumn), "Severity") +
                                 "<label>Time <select id=\"" + id + "-window\"><option value=\"\">All</option>"
                                 "</select></label>";
    std::string body = "<h1>Timeline</h1>\n<p>Every time-stamped record of the collection in one order, by the "
                       "instant it happened. Times are on the collected machine's clock (" +
                       ZoneName(model.displayOffset) +
                       "); \"Own clock\" is what the recording clock said before it was corrected.</p>\n";
    body += RenderGridFrame(id, "Timeline, " + std::to_string(model.timeline.size()) + " records", kColumns,
                            model.timeline.size(), controls);
    write(kTimelineData, data.Script());
    write(kTimelinePage, RenderHtmlPage("Timeline", TopLine(model), body, kTimelineData));
}
