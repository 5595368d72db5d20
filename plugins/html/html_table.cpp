#include "html_table.h"

#include "html_escape.h"
#include "severity.h"
#include "value_display.h"
#include "wyxcore/calendar.h"
#include "wyxcore/value.h"

namespace {

std::string tools(const std::string& id, size_t rows, const std::string& controls) {
    const std::string count = std::to_string(rows);
    return "<div class=\"tools\"><input type=\"search\" class=\"filter\" data-table=\"" + id +
           "\" placeholder=\"Filter rows\" aria-label=\"Filter rows\" aria-controls=\"" + id + "\">" + controls +
           "<span class=\"shown\" id=\"" + id + "-shown\" role=\"status\" aria-live=\"polite\">" + count + " of " +
           count + " rows</span></div>\n";
}

std::string head(const std::vector<std::string>& headings) {
    std::string out = "<thead><tr>";
    for (const std::string& heading : headings)
        out += "<th scope=\"col\"><button type=\"button\" class=\"sort\">" + EscapeHtml(heading) + "</button></th>";
    return out + "</tr></thead>\n";
}

}  // namespace

std::string SeverityCssClass(const std::string& severity) {
    switch (StyleOfSeverity(severity)) {
    case SeverityStyle::kError: return "error";
    case SeverityStyle::kWarning: return "warning";
    case SeverityStyle::kPlain: break;
    }
    return "";
}

HtmlCell ValueCell(const TCIMValue* value) {
    if (!value) return HtmlCell();
    HtmlCell cell;
    cell.html = EscapeHtml(DisplayValue(*value));
    if (const TCIMDateTime* at = value->IsArray() ? nullptr : value->FindDateTime()) cell.sortKey = calendar::TimeSortKey(*at);
    return cell;
}

std::string RenderHtmlTable(const std::string& id, const std::string& caption,
                            const std::vector<std::string>& headings, const std::vector<HtmlRow>& rows) {
    std::string out = tools(id, rows.size(), std::string()) + "<table class=\"data static\" id=\"" + id + "\">\n";
    out += "<caption>" + EscapeHtml(caption) + "</caption>\n" + head(headings) + "<tbody>\n";
    for (const HtmlRow& row : rows) {
        out += "<tr";
        if (!row.id.empty()) out += " id=\"" + row.id + "\"";
        if (!row.cssClass.empty()) out += " class=\"" + row.cssClass + "\"";
        out += ">";
        for (const HtmlCell& cell : row.cells) {
            out += "<td";
            if (!cell.sortKey.empty()) out += " data-key=\"" + EscapeHtml(cell.sortKey) + "\"";
            out += ">" + cell.html + "</td>";
        }
        out += "</tr>\n";
    }
    return out + "</tbody></table>\n";
}

std::string RenderGridFrame(const std::string& id, const std::string& caption,
                            const std::vector<std::string>& headings, size_t rows, const std::string& controls) {
    // Every row in the document on request: for the browser's find and for printing.
    const std::string all = "<button type=\"button\" class=\"all\" id=\"" + id + "-all\" aria-pressed=\"false\">"
                            "Show all rows</button>";
    return tools(id, rows, controls + all) + "<div class=\"grid\" tabindex=\"0\"><table class=\"data grid-table\" id=\"" + id +
           "\" aria-rowcount=\"" + std::to_string(rows + 1) + "\">\n<caption>" + EscapeHtml(caption) +
           "</caption>\n" + head(headings) + "<tbody></tbody></table></div>\n" +
           "<noscript><p class=\"note\">The rows of this table are drawn by the page's script.</p></noscript>\n";
}
