#include "index_list.h"

#include "html_escape.h"
#include "page_names.h"
#include "page_split.h"
#include "reading_order.h"
#include "wyxcore/container.h"

IndexList FirstInstances(const TContainer& container, const std::string& className) {
    IndexList list;
    list.className = className;
    const TCIMClass* cimClass = container.FindClass(className);
    if (!cimClass) return list;
    list.shown = ReadingOrder(*cimClass);
    list.total = list.shown.size();
    if (list.total > kIndexListRows) list.shown.resize(kIndexListRows);
    return list;
}

std::string NotShownNote(const IndexList& list, const std::string& what, const PageNames& pages) {
    if (list.shown.size() >= list.total) return std::string();
    const size_t hidden = list.total - list.shown.size();
    const size_t pageCount = PageSplit(list.total).Pages();
    const std::string link =
        "<a href=\"" + EscapeHtml(pages.Of(list.className)) + "\">" + EscapeHtml(list.className) + "</a>";
    return "<p class=\"more\">Showing the first " + std::to_string(list.shown.size()) + " of " +
           std::to_string(list.total) + " " + what + "; " + std::to_string(hidden) + (hidden == 1 ? " is" : " are") +
           " not shown here. All of them are on the " + link + " pages (" + std::to_string(pageCount) +
           (pageCount == 1 ? " page" : " pages") + ").</p>\n";
}
