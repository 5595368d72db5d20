#ifndef NORBIX_HTML_TABLE_H
#define NORBIX_HTML_TABLE_H

#include <string>
#include <vector>

class TCIMValue;

// One cell: its content as HTML (already escaped) and, where the text does not
// sort right (date-times), the key the page's script sorts it by.
struct HtmlCell {
    std::string html;
    std::string sortKey;
};

struct HtmlRow {
    std::vector<HtmlCell> cells;
    std::string id;          // anchor of the row, may be empty
    std::string cssClass;    // e.g. "error", may be empty
};

// A table written into the page, which the page's script makes sortable by any
// column and filterable by text, with its filter box and row count above it.
// id must be unique in the page; caption is plain text.
std::string RenderHtmlTable(const std::string& id, const std::string& caption,
                            const std::vector<std::string>& headings, const std::vector<HtmlRow>& rows);

// The frame of a table whose rows come from a data file (see GridData): filter
// box, the controls given (HTML), a "Show all rows" button, the row count read
// out as it changes, and the scrolled table under a header that stays in view.
std::string RenderGridFrame(const std::string& id, const std::string& caption,
                            const std::vector<std::string>& headings, size_t rows,
                            const std::string& controls = std::string());

// The row class that marks a severity ("error", "warning"); empty for the rest.
std::string SeverityCssClass(const std::string& severity);

// A cell for a property value: escaped text, date-times readable with a key.
HtmlCell ValueCell(const TCIMValue* value);

#endif
