#ifndef WYXCORE_XML_PULL_PARSER_H
#define WYXCORE_XML_PULL_PARSER_H

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "byte_source.h"

namespace cimxml {

using XmlByteSource = ::ByteSource;

template <typename Word>
Word LoadWord(const char* p) {
    Word word;
    std::memcpy(&word, p, sizeof word);
    return word;
}

// Equal bytes, compared without a library call and a word at a time (the
// last word overlapping the one before): names are short and are compared
// for nearly every tag of a file.
inline bool SameBytes(const char* a, const char* b, size_t n) {
    if (n >= 8) {
        const char* const lastA = a + n - 8;
        const char* const lastB = b + n - 8;
        for (; a < lastA; a += 8, b += 8)
            if (LoadWord<uint64_t>(a) != LoadWord<uint64_t>(b)) return false;
        return LoadWord<uint64_t>(lastA) == LoadWord<uint64_t>(lastB);
    }
    if (n >= 4)
        return LoadWord<uint32_t>(a) == LoadWord<uint32_t>(b) &&
               LoadWord<uint32_t>(a + n - 4) == LoadWord<uint32_t>(b + n - 4);
    for (; n; --n)
        if (*a++ != *b++) return false;
    return true;
}

inline bool SameText(const std::string& a, const std::string& b) {
    return a.size() == b.size() && SameBytes(a.data(), b.data(), a.size());
}

// A forward-only reader of a UTF-8 XML document, one event at a time, so that a
// document of any size is read through a small window. Text and attribute
// values come as 8-bit bytes by the rule of xml_text.h, with references
// resolved and line ends normalised. Throws TWYXException (kWyxFileNotXml) when
// the document is not well-formed, kWyxFileTooLarge when one piece of it (a
// tag, a text, a comment) does not fit the largest window, kWyxFileTooDeep
// past the deepest nesting; the source's own exceptions pass through.
// The whole source is read: after the root element only comments, processing
// instructions and white space may follow. What XML 1.0 forbids is refused
// even where the reader never looks (a text it skips, an attribute it ignores).
class XmlPullParser {
public:
    enum Event { kStartElement, kEndElement, kText, kEndOfDocument };

    explicit XmlPullParser(XmlByteSource* source);
    Event Next();
    // The element's name, at kStartElement and kEndElement.
    const std::string& Name() const { return open_[current_]; }
    bool NameIs(const std::string& name) const { return SameText(open_[current_], name); }
    // At kStartElement, until the next call to Next: the attribute's value;
    // false without the attribute.
    bool Attribute(const std::string& name, std::string* value) const;
    // At kStartElement: true when the attribute is written as exactly these
    // bytes and they stand for themselves (no reference, line end, tab or
    // 8-bit byte), so that Attribute would give them; a cheap test.
    bool AttributeIs(const std::string& name, const char* bytes, size_t size) const;
    // At kStartElement: the attributes in the order they are written.
    size_t AttributeCount() const { return attrCount_; }
    void AttributeAt(size_t index, std::string* name, std::string* value) const;
    // The line (from 1) of the next unread byte: after an event, where it ends.
    uint64_t Line() const;
    // At kText: appends the text. Only until the next call to Next.
    void AppendText(std::string* out);
    // At kStartElement: reads on past the element's end.
    void SkipElement();

private:
    XmlPullParser(const XmlPullParser&);
    XmlPullParser& operator=(const XmlPullParser&);

    // Where an attribute of the current start tag stands in the window.
    struct Attr {
        const char* name;
        size_t nameSize;
        const char* value;
        const char* valueEnd;
        bool plain;   // decoding leaves it as it is
    };

    [[noreturn]] void fail(const std::string& what) const;
    const Attr* findAttribute(const std::string& name) const;
    void attributeValue(const Attr& attr, std::string* value) const;
    bool more();
    bool have(size_t offset);
    bool startsWith(const char* literal);
    size_t findByte(char c, size_t from);
    size_t find(const char* literal, size_t from);
    size_t textEnd(bool* check);
    size_t commentEnd(size_t from);
    void check(const char* begin, const char* end, bool attribute) const;
    void checkInstruction(size_t close) const;
    void addManyAttribute();
    uint16_t& slot(const Attr& attr);
    void skipDoctype();
    Event startElement();
    size_t startTag();
    Event endElement(size_t end);
    bool tightEnd();
    void decode(const char* begin, const char* end, bool references, bool attribute, std::string* out) const;
    const char* reference(const char* p, const char* end, std::string* out) const;

    XmlByteSource* source_;
    std::vector<char> buffer_;
    size_t pos_;             // the next unread byte in buffer_
    size_t end_;             // end of the bytes in buffer_
    uint64_t dropped_;       // bytes of the document before buffer_[0]
    uint64_t droppedLines_;  // line ends among them
    bool sourceEnded_;
    std::vector<std::string> open_;   // names of the open elements, by depth
    size_t depth_;
    size_t current_;         // open_ index of the element of the last event
    bool rootSeen_;
    bool pendingEnd_;        // an empty-element tag still owes its end
    std::vector<Attr> attrs_;
    size_t attrCount_;
    size_t textBegin_;
    size_t textEnd_;
    bool textIsCdata_;
    bool textUnchecked_;     // the text of the last event may hold what XML forbids
    uint64_t start_;         // where the document starts after a byte order mark
    std::vector<uint16_t> slots_;   // attribute table: index + 1, or 0 when free
};

}  // namespace cimxml

#endif
