#ifndef NORBIX_HTML_TABLE_H
#define NORBIX_HTML_TABLE_H

#include <string>
#include <vector>

// One cell: its content as HTML (already escaped) and, where the text does not
// sort right (date-times), the key the page's script sorts it by.
struct HtmlCell {
    std::string html;
    std::string sortKey;
    bool wide = false;       // a long text, given room rather than squeezed
};

struct HtmlRow {
    std::vector<HtmlCell> cells;
    std::string id;          // anchor of the row, may be empty
    std::string cssClass;    // e.g. "error", may be empty
};

// A table the page's script makes sortable by any column and filterable by
// text, with its filter box and row count above it. id must be unique in the page.
std::string RenderHtmlTable(const std::string& id, const std::vector<std::string>& headings,
                            const std::vector<HtmlRow>& rows);

// A sort key for a date-time value that orders instants in UTC, whatever their
// offsets.
class TCIMDateTime;
std::string DateTimeSortKey(const TCIMDateTime& value);

// A cell for a property value: escaped text, date-times readable with a key.
class TCIMValue;
HtmlCell ValueCell(const TCIMValue* value);

#endif
