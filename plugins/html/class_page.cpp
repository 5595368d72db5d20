#include "class_page.h"

#include <algorithm>

#include "class_rows.h"
#include "html_escape.h"
#include "html_page.h"
#include "html_table.h"
#include "page_names.h"
#include "page_navigation.h"
#include "table_columns.h"
#include "wyxcore/container.h"

namespace {

std::string instanceCount(size_t count) { return std::to_string(count) + (count == 1 ? " instance" : " instances"); }

// What a page of several holds, and that the table's tools see only that.
std::string pageFacts(const PageSplit& split, size_t page) {
    return "<p>" + instanceCount(split.Rows()) + " &middot; page " + std::to_string(page + 1) + " of " +
           std::to_string(split.Pages()) + "</p>\n<p class=\"rows\">Rows " + std::to_string(split.FirstRow(page) + 1) +
           "&ndash;" + std::to_string(split.EndRow(page)) + " of " + std::to_string(split.Rows()) +
           "</p>\n<p class=\"note\">Sorting and filtering apply to the rows of this page only.</p>\n";
}

}  // namespace

void RenderClassPages(const TCIMClass& cimClass, const PageNames& names, const std::string& machine,
                      const std::function<void(const std::string& fileName, const std::string& html)>& write) {
    const TableColumns tableColumns(cimClass);
    const std::vector<std::string>& columns = tableColumns.Names();
    const ClassRows classRows(cimClass);
    const PageSplit& split = classRows.Split();
    const std::string& className = cimClass.GetName();
    const std::string heading = "<h1>" + EscapeHtml(className) + "</h1>\n";
    const std::string topLine = "<a href=\"index.html\">Index</a> &middot; " + machine;
    for (size_t page = 0; page < split.Pages(); ++page) {
        std::vector<HtmlRow> rows;
        for (size_t row = split.FirstRow(page); row < split.EndRow(page); ++row) {
            HtmlRow html;
            html.id = "i" + std::to_string(classRows.PositionAt(row));
            const TCIMInstance* instance = classRows.InstanceAt(row);
            for (const TCIMValue* value : tableColumns.ValuesOf(*instance)) html.cells.push_back(ValueCell(value));
            rows.push_back(html);
        }
        std::string body = heading, title = className;
        if (split.Pages() == 1) {
            body += "<p>" + instanceCount(split.Rows()) + "</p>\n" + RenderHtmlTable("instances", columns, rows);
        } else {
            const std::string navigation = PageNavigation(names, className, page, split.Pages());
            body += pageFacts(split, page) + navigation + RenderHtmlTable("instances", columns, rows) + navigation;
            title += " (page " + std::to_string(page + 1) + " of " + std::to_string(split.Pages()) + ")";
        }
        write(names.Of(className, page), RenderHtmlPage(title, topLine, body));
    }
}
