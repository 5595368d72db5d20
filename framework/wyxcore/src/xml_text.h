#ifndef WYXCORE_XML_TEXT_H
#define WYXCORE_XML_TEXT_H

#include <string>

// How 8-bit text travels in our UTF-8 CIM-XML files:
// - bytes 0x80..0xFF are the characters U+0080..U+00FF;
// - TAB and LF are themselves (in attributes &#9; and &#10;), CR is &#13;;
// - the other control bytes, which XML 1.0 cannot carry, become the private-use
//   characters U+E000 + byte;
// - & < > " ' are escaped.
// Reading maps all of this back, so every byte string survives a round trip. A
// character beyond U+00FF that is not one of those private-use characters (a
// file from another tool) cannot be held in 8-bit text and reads as '?'.
namespace cimxml {

std::string EscapeText(const std::string& bytes, bool attribute);
// EscapeText appended to out, without a string of its own.
void AppendEscaped(const std::string& bytes, bool attribute, std::string* out);
// Appends the UTF-8 text [begin, end) as bytes. False for malformed UTF-8.
bool AppendDecoded(const char* begin, const char* end, std::string* bytes);
// Appends the byte that stands for one character.
void AppendCharacter(unsigned code, std::string* bytes);

}  // namespace cimxml

#endif
