#ifndef NORBIX_TEXT_CELL_H
#define NORBIX_TEXT_CELL_H

#include <string>
#include <vector>

// A value made safe for one line of the report: control bytes become escapes
// ("\n", "\r", "\t", "\xNN") so that no value can break a line or a column.
std::string PlainText(const std::string& value);

// The characters of a text: UTF-8 sequences when the text is valid UTF-8, else
// single bytes (an 8-bit code page).
std::vector<std::string> TextCharacters(const std::string& text);

// Number of columns the text takes.
size_t TextWidth(const std::string& text);

// Splits text into lines of at most width columns, breaking after a blank where
// one lies in the line, else inside a word. An empty text gives one empty line.
std::vector<std::string> WrapText(const std::string& text, size_t width);

#endif
