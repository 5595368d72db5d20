#include "class_page.h"

#include "grid_data.h"
#include "html_escape.h"
#include "html_page.h"
#include "html_table.h"
#include "page_names.h"
#include "plural.h"
#include "report_model.h"
#include "value_display.h"
#include "wyxcore/calendar.h"
#include "wyxcore/container.h"

namespace {

std::string instanceCount(size_t count) { return Counted(count, "instance"); }

GridCell gridCell(const ReportModel& model, const TCIMValue* value) {
    GridCell cell;
    if (!value) return cell;
    if (const TCIMDateTime* at = calendar::PointOf(value)) {
        cell.text = ShownTime(model, *at);
        cell.key = calendar::TimeSortKey(*at);
    } else {
        cell.text = DisplayValue(*value);
        if (const TCIMDateTime* interval = value->IsArray() ? nullptr : value->FindDateTime())
            cell.key = calendar::TimeSortKey(*interval);
    }
    return cell;
}

std::string sameTable(const ClassTable& table, const ReportModel& model) {
    if (table.same.empty()) return std::string();
    std::string out = "<table class=\"facts same\"><caption>The same in every row</caption>\n";
    for (const auto& same : table.same)
        out += "<tr><th scope=\"row\">" + EscapeHtml(same.first) + "</th><td>" +
               EscapeHtml(same.second ? gridCell(model, same.second).text : std::string("(not set)")) + "</td></tr>\n";
    return out + "</table>\n";
}

}  // namespace

std::string TopLine(const ReportModel& model) {
    return "<a href=\"" + std::string(kIndexPage) + "\">Index</a> &middot; <a href=\"" + kTimelinePage +
           "\">Timeline</a> &middot; " + EscapeHtml(model.identity.machineLine);
}

void RenderClassPage(const ClassTable& table, const ReportModel& model, const PageNames& names,
                     const WriteFile& write) {
    const std::string& className = table.cimClass->GetName();
    GridData data("instances", table.columns);
    TimelineEntry described;
    for (size_t row = 0; row < table.rows.size(); ++row) {
        std::vector<GridCell> cells;
        cells.reserve(table.columns.size());
        for (const TCIMValue* value : table.values[row]) cells.push_back(gridCell(model, value));
        std::string css;
        if (DescribeRecord(*table.rows[row], model.severities, &described)) css = SeverityCssClass(described.severity);
        else if (className == "VARNSG_AnalysisFinding") css = SeverityCssClass(PropertyText(*table.rows[row], "Severity"));
        data.AddRow(cells, table.positions[row], css);
    }
    std::string body = "<h1>" + EscapeHtml(className) + "</h1>\n<p>" + instanceCount(table.rows.size()) +
                       (table.timed ? ", in time order; times on the collected machine's clock" : "") + ".</p>\n";
    body += sameTable(table, model);
    if (!table.columns.empty()) {
        body += RenderGridFrame("instances", className + ", " + instanceCount(table.rows.size()), table.columns,
                                table.rows.size());
        write(names.DataOf(className), data.Script());
    }
    write(names.Of(className), RenderHtmlPage(className, TopLine(model), body,
                                              table.columns.empty() ? std::string() : names.DataOf(className)));
}
