#ifndef NORBIX_TEXT_TABLE_H
#define NORBIX_TEXT_TABLE_H

#include <string>
#include <vector>

// A table of aligned columns under a heading line and a rule. Each column is as
// wide as its widest cell or heading, at most maxWidth; a longer cell wraps onto
// further lines of its row, so the columns stay aligned. Cells are one-line
// texts (see PlainText). Every line starts with indent; no line ends in blanks.
std::string RenderTextTable(const std::vector<std::string>& headings,
                            const std::vector<std::vector<std::string> >& rows, size_t maxWidth,
                            const std::string& indent);

// "name  value" lines with the values aligned; long values wrap at maxWidth.
std::string RenderTextPairs(const std::vector<std::pair<std::string, std::string> >& pairs, size_t maxWidth,
                            const std::string& indent);

#endif
