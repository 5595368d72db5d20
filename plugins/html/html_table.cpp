#include "html_table.h"

#include <cstdint>
#include <cstdio>

#include "html_escape.h"
#include "reading_order.h"
#include "wyxcore/value.h"

namespace {

// Days from 0001-01-01 to the given date of the proleptic Gregorian calendar.
long long daysFromCivil(int year, int month, int day) {
    year -= month <= 2;
    const long long era = year / 400;
    const long long yoe = year - era * 400;
    const long long doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe;
}

}  // namespace

std::string DateTimeSortKey(const TCIMDateTime& value) {
    char buf[48];
    if (value.IsInterval()) {
        std::snprintf(buf, sizeof buf, "i%010ld%02d%02d%02d%06ld", value.GetDays(), value.GetHour(),
                      value.GetMinute(), value.GetSecond(), value.GetMicroseconds());
        return buf;
    }
    const int offset = static_cast<int16_t>(value.GetUTCOffset());
    const long long seconds = daysFromCivil(value.GetYear(), value.GetMonth(), value.GetDay()) * 86400LL +
                              value.GetHour() * 3600LL + value.GetMinute() * 60LL + value.GetSecond() -
                              offset * 60LL + 86400LL;   // stays positive for year 1 with any offset
    std::snprintf(buf, sizeof buf, "t%014lld%06ld", seconds, value.GetMicroseconds());
    return buf;
}

HtmlCell ValueCell(const TCIMValue* value) {
    if (!value) return HtmlCell();
    HtmlCell cell;
    const std::string text = DisplayValue(*value);
    cell.html = EscapeHtml(text);
    cell.wide = text.size() > 60;
    if (value->GetType() == kCIMDateTime) cell.sortKey = DateTimeSortKey(value->GetDateTime());
    return cell;
}

std::string RenderHtmlTable(const std::string& id, const std::vector<std::string>& headings,
                            const std::vector<HtmlRow>& rows) {
    std::string out = "<div class=\"tools\"><input type=\"search\" class=\"filter\" data-table=\"" + id +
                      "\" placeholder=\"Filter rows\" aria-label=\"Filter rows\"> <span class=\"shown\" id=\"" + id +
                      "-shown\">" + std::to_string(rows.size()) + " of " + std::to_string(rows.size()) +
                      " rows</span></div>\n";
    out += "<div class=\"scroll\"><table class=\"data\" id=\"" + id + "\">\n<thead><tr>";
    for (const std::string& heading : headings)
        out += "<th><button type=\"button\" class=\"sort\">" + EscapeHtml(heading) + "</button></th>";
    out += "</tr></thead>\n<tbody>\n";
    for (const HtmlRow& row : rows) {
        out += "<tr";
        if (!row.id.empty()) out += " id=\"" + row.id + "\"";
        if (!row.cssClass.empty()) out += " class=\"" + row.cssClass + "\"";
        out += ">";
        for (const HtmlCell& cell : row.cells) {
            out += cell.wide ? "<td class=\"wide\"" : "<td";
            if (!cell.sortKey.empty()) out += " data-key=\"" + EscapeHtml(cell.sortKey) + "\"";
            out += ">" + cell.html + "</td>";
        }
        out += "</tr>\n";
    }
    return out + "</tbody></table></div>\n";
}
