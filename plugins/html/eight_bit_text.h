#ifndef NORBIX_EIGHT_BIT_TEXT_H
#define NORBIX_EIGHT_BIT_TEXT_H

#include <cstddef>
#include <string>

// How the reports read norbix's 8-bit text: a valid UTF-8 sequence as the
// character it encodes, any other byte as Windows code page 1252 (0xFFFD
// where that code page has no character). Every byte is read; none is lost.

// The character at text[at] by that reading and the number of bytes it takes.
size_t NextCodePoint(const std::string& text, size_t at, unsigned long* code);

#endif
