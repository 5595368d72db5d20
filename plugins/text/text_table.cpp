#include "text_table.h"

#include <algorithm>

#include "text_cell.h"

namespace {

const char kGap[] = "  ";

std::string trimRight(std::string line) {
    line.erase(line.find_last_not_of(' ') + 1);
    return line;
}

std::string pad(const std::string& text, size_t width) {
    const size_t used = TextWidth(text);
    return used < width ? text + std::string(width - used, ' ') : text;
}

// One row, its cells wrapped to the column widths, as lines.
std::string renderRow(const std::vector<std::string>& cells, const std::vector<size_t>& widths,
                      const std::string& indent) {
    std::vector<std::vector<std::string> > wrapped;
    size_t height = 1;
    for (size_t c = 0; c < widths.size(); ++c) {
        wrapped.push_back(WrapText(c < cells.size() ? cells[c] : std::string(), widths[c]));
        height = std::max(height, wrapped.back().size());
    }
    std::string out;
    for (size_t line = 0; line < height; ++line) {
        std::string text = indent;
        for (size_t c = 0; c < widths.size(); ++c) {
            if (c) text += kGap;
            text += pad(line < wrapped[c].size() ? wrapped[c][line] : std::string(), widths[c]);
        }
        out += trimRight(text) + "\n";
    }
    return out;
}

}  // namespace

std::string RenderTextTable(const std::vector<std::string>& headings,
                            const std::vector<std::vector<std::string> >& rows, size_t maxWidth,
                            const std::string& indent) {
    std::vector<size_t> widths;
    for (size_t c = 0; c < headings.size(); ++c) {
        size_t width = std::max<size_t>(TextWidth(headings[c]), 1);
        for (const auto& row : rows)
            if (c < row.size()) width = std::max(width, TextWidth(row[c]));
        widths.push_back(std::min(width, maxWidth));
    }
    std::string out = renderRow(headings, widths, indent);
    std::vector<std::string> rules;
    for (size_t width : widths) rules.push_back(std::string(width, '-'));
    out += renderRow(rules, widths, indent);
    for (const auto& row : rows) out += renderRow(row, widths, indent);
    return out;
}

std::string RenderTextPairs(const std::vector<std::pair<std::string, std::string> >& pairs, size_t maxWidth,
                            const std::string& indent) {
    size_t nameWidth = 0;
    for (const auto& pair : pairs) nameWidth = std::max(nameWidth, TextWidth(pair.first));
    std::string out;
    for (const auto& pair : pairs) out += renderRow({pair.first, pair.second}, {nameWidth, maxWidth}, indent);
    return out;
}
