#include "class_page.h"

#include <algorithm>
#include <map>

#include "html_escape.h"
#include "html_page.h"
#include "html_table.h"
#include "reading_order.h"
#include "wyxcore/container.h"

namespace {

std::vector<std::string> propertyNames(const TCIMClass& cimClass) {
    std::vector<std::string> names;
    for (const TCIMPropertyDecl& decl : cimClass.GetPropertyDecls()) names.push_back(decl.name);
    for (const TCIMInstance* instance : cimClass.EnumerateInstances(true))
        for (const auto& property : instance->GetProperties())
            if (std::find(names.begin(), names.end(), property.first) == names.end())
                names.push_back(property.first);
    return names;
}

}  // namespace

std::string RenderClassPage(const TCIMClass& cimClass, const std::string& machine) {
    const std::vector<std::string> names = propertyNames(cimClass);
    std::map<const TCIMInstance*, size_t> position;
    for (const TCIMInstance* instance : cimClass.EnumerateInstances(true)) position[instance] = position.size();
    std::vector<HtmlRow> rows;
    for (const TCIMInstance* instance : ReadingOrder(cimClass)) {
        HtmlRow row;
        row.id = "i" + std::to_string(position[instance]);
        for (const std::string& name : names) row.cells.push_back(ValueCell(instance->GetPropertyValue(name)));
        rows.push_back(row);
    }
    const size_t count = rows.size();
    const std::string name = EscapeHtml(cimClass.GetName());
    std::string body = "<h1>" + name + "</h1>\n<p>" + std::to_string(count) +
                       (count == 1 ? " instance" : " instances") + "</p>\n";
    body += RenderHtmlTable("instances", names, rows);
    return RenderHtmlPage(cimClass.GetName(), "<a href=\"index.html\">Index</a> &middot; " + machine, body);
}
