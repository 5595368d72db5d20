#ifndef NORBIX_HTML_ESCAPE_H
#define NORBIX_HTML_ESCAPE_H

#include <string>

// Makes an untrusted 8-bit value safe as HTML text or attribute value. The
// result is plain ASCII: markup characters become entities; valid UTF-8
// sequences become character references; any other byte is read as Windows
// code page 1252; control bytes other than tab and line feed become their
// visible control pictures, so nothing is hidden and nothing is dropped.
std::string EscapeHtml(const std::string& value);

#endif
