#include "page_navigation.h"

#include "html_escape.h"
#include "page_names.h"

namespace {

// Page numbers shown on either side of the current one.
const size_t kNearPages = 2;

std::string link(const PageNames& names, const std::string& className, size_t page, const std::string& text,
                 const char* rel = nullptr) {
    return "<a href=\"" + EscapeHtml(names.Of(className, page)) + "\"" +
           (rel ? std::string(" rel=\"") + rel + "\"" : std::string()) + ">" + text + "</a>";
}

std::string off(const std::string& text) { return "<span class=\"off\">" + text + "</span>"; }

}  // namespace

std::string PageNavigation(const PageNames& names, const std::string& className, size_t page, size_t pages) {
    const size_t last = pages ? pages - 1 : 0;
    const bool first = page == 0, final = page >= last;
    const std::string dot = " &middot; ";
    std::string out = "<nav class=\"pages\" aria-label=\"Pages\"><a href=\"index.html\">Index</a>" + dot;
    out += (first ? off("First") : link(names, className, 0, "First")) + dot;
    out += (first ? off("Previous") : link(names, className, page - 1, "Previous", "prev")) + dot + "Page";
    const size_t from = page > kNearPages ? page - kNearPages : 0;
    const size_t to = page + kNearPages < last ? page + kNearPages : last;
    if (from > 0) out += " " + link(names, className, 0, "1") + (from > 1 ? " &hellip;" : "");
    for (size_t p = from; p <= to; ++p) {
        const std::string number = std::to_string(p + 1);
        out += " " + (p == page ? "<strong aria-current=\"page\">" + number + "</strong>"
                                : link(names, className, p, number));
    }
    if (to < last) out += (to + 1 < last ? " &hellip; " : " ") + link(names, className, last, std::to_string(last + 1));
    out += dot + (final ? off("Next") : link(names, className, page + 1, "Next", "next")) + dot;
    return out + (final ? off("Last") : link(names, className, last, "Last")) + "</nav>\n";
}
