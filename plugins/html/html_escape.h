#ifndef NORBIX_HTML_ESCAPE_H
#define NORBIX_HTML_ESCAPE_H

#include <string>

// Makes an untrusted 8-bit value safe as HTML text or attribute value. The
// result is plain ASCII: markup characters become entities; valid UTF-8
// sequences become character references; any other byte is read as Windows
// code page 1252; control bytes other than tab and line feed become their
// visible control pictures, so nothing is hidden and nothing is dropped.
std::string EscapeHtml(const std::string& value);

// The character at text[at] by the same reading (valid UTF-8, else code page
// 1252) and the number of bytes it takes.
size_t NextCodePoint(const std::string& text, size_t at, unsigned long* code);

// A JSON string literal of an untrusted 8-bit value, safe inside a script file:
// plain ASCII, every other character and "<", ">", "&", "'" as \u escapes, control
// bytes as their visible control pictures (a row stays one line).
std::string JsonString(const std::string& value);

// A text as one component of a URL: every byte but letters, digits and "-._~"
// percent-encoded.
std::string UrlComponent(const std::string& value);

#endif
