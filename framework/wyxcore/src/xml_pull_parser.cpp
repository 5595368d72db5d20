#include "xml_pull_parser.h"

#include <algorithm>
#include <cstring>

#include "wyxcore/exception.h"
#include "wyxcore/status.h"
#include "xml_text.h"

namespace cimxml {

namespace {

const size_t kInitialWindow = 256 * 1024;
// Bounds on what the parser holds whatever the document: the window (so the
// longest tag, text or comment), the depth and the names of the open elements,
// and the attributes of one tag. A CIM-XML file is far inside all of them.
const size_t kMaxWindow = 32 * 1024 * 1024;
const size_t kMaxDepth = 256;
const size_t kMaxNameSize = 1024;
const size_t kMaxAttributes = 256;
// Up to this many attributes a tag's names are compared one by one; past it a
// table of them keeps a hostile tag from costing the square of its length.
const size_t kScannedAttributes = 8;
const size_t kAttributeSlots = 512;   // a power of two, twice kMaxAttributes

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// The characters XML 1.0 lets a document hold.
bool isXmlChar(unsigned long c) {
    return c >= 0x20 ? c <= 0xD7FF || (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF)
                     : c == 0x9 || c == 0xA || c == 0xD;
}

size_t hashName(const char* p, size_t n) {
    uint32_t h = 2166136261u;
    for (const char* end = p + n; p < end; ++p) h = (h ^ static_cast<unsigned char>(*p)) * 16777619u;
    return h;
}

// What each byte may be, looked up once per byte of every tag and text.
struct ByteClasses {
    enum : unsigned char {
        kNameStart = 1, kNameChar = 2, kTextSpecial = 4, kAttributeSpecial = 8, kValueStop = 16, kTextStop = 32
    };
    unsigned char of[256];
    ByteClasses() {
        for (int c = 0; c < 256; ++c) {
            const bool start = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == ':' || c >= 0x80;
            const bool name = start || (c >= '0' && c <= '9') || c == '.' || c == '-';
            // Bytes that decoding does not copy as they are.
            const bool text = c >= 0x80 || c == '&' || c == '\r';
            of[c] = static_cast<unsigned char>((start ? kNameStart : 0) | (name ? kNameChar : 0) |
                                               (text || c == ']' ? kTextSpecial : 0) |
                                               (text || c == '\t' || c == '\n' ? kAttributeSpecial : 0) |
                                               (c == '"' || c == '\'' || c == '<' || c == 0 ? kValueStop : 0) |
                                               (c == '<' || c == '&' || c == ']' || c >= 0x80 ? kTextStop : 0));
        }
    }
    bool is(char c, unsigned char what) const { return (of[static_cast<unsigned char>(c)] & what) != 0; }
};

const ByteClasses kBytes;

const char* skipSpace(const char* p, const char* end) {
    while (p < end && isSpace(*p)) ++p;
    return p;
}

// The same within a tag, where the window's closing 0 stops the scan.
const char* skipTagSpace(const char* p) {
    while (isSpace(*p)) ++p;
    return p;
}

uint64_t countLines(const char* p, size_t n) {
    uint64_t lines = 0;
    for (const char* end = p + n; (p = static_cast<const char*>(std::memchr(p, '\n', end - p))) != nullptr; ++p) ++lines;
    return lines;
}

const char* skipName(const char* p, const char* end) {
    if (p == end || !kBytes.is(*p, ByteClasses::kNameStart)) return p;
    while (p < end && kBytes.is(*p, ByteClasses::kNameChar)) ++p;
    return p;
}

const char* skipTagName(const char* p) {
    if (!kBytes.is(*p, ByteClasses::kNameStart)) return p;
    while (kBytes.is(*p, ByteClasses::kNameChar)) ++p;
    return p;
}

}  // namespace

XmlPullParser::XmlPullParser(XmlByteSource* source)
    : source_(source), buffer_(kInitialWindow + 1), pos_(0), end_(0), dropped_(0), droppedLines_(0), sourceEnded_(false), open_(1), depth_(0),
      current_(0), rootSeen_(false), pendingEnd_(false), attrCount_(0), textBegin_(0), textEnd_(0), textIsCdata_(false),
      textUnchecked_(false), start_(0) {}

void XmlPullParser::fail(const std::string& what) const {
    throw TWYXException(kWyxFileNotXml,
                        what + " at offset " + std::to_string(dropped_ + pos_) + " (line " + std::to_string(Line()) + ")");
}

// Moves the unread bytes to the front of the window (doubling it when it is
// full) and reads more behind them. Offsets from pos_ stay valid. The byte
// after the window's bytes is always 0: scans of a tag stop there without
// counting.
bool XmlPullParser::more() {
    if (sourceEnded_) return false;
    if (pos_ > 0) {
        droppedLines_ += countLines(&buffer_[0], pos_);
        std::memmove(&buffer_[0], &buffer_[pos_], end_ - pos_);
        dropped_ += pos_;
        end_ -= pos_;
        pos_ = 0;
    }
    const size_t window = buffer_.size() - 1;
    if (end_ == window) {
        if (window >= kMaxWindow)
            throw TWYXException(kWyxFileTooLarge, "more than 32 MiB in one piece at offset " +
                                                      std::to_string(dropped_ + pos_));
        buffer_.resize(std::min(window * 2, kMaxWindow) + 1);
    }
    const size_t n = source_->Read(&buffer_[end_], buffer_.size() - 1 - end_);
    end_ += n;
    buffer_[end_] = 0;
    if (n == 0) {
        sourceEnded_ = true;
        return false;
    }
    return true;
}

bool XmlPullParser::have(size_t offset) {
    while (pos_ + offset >= end_)
        if (!more()) return false;
    return true;
}

bool XmlPullParser::startsWith(const char* literal) {
    const size_t n = std::strlen(literal);
    return have(n - 1) && std::memcmp(&buffer_[pos_], literal, n) == 0;
}

// Offset from pos_ of the byte c, searched from offset from on.
size_t XmlPullParser::findByte(char c, size_t from) {
    for (;;) {
        if (pos_ + from < end_) {
            const char* start = &buffer_[pos_ + from];
            const void* hit = std::memchr(start, c, end_ - pos_ - from);
            if (hit) return static_cast<size_t>(static_cast<const char*>(hit) - &buffer_[pos_]);
            from = end_ - pos_;
        }
        if (!more()) fail(std::string("document ends before '") + c + "'");
    }
}

// Offset from pos_ of the literal's first byte, searched from offset from on.
size_t XmlPullParser::find(const char* literal, size_t from) {
    const size_t n = std::strlen(literal);
    for (;;) {
        while (pos_ + from + n <= end_) {
            const char* start = &buffer_[pos_ + from];
            const void* hit = std::memchr(start, literal[0], end_ - n + 1 - (pos_ + from));
            if (!hit) {
                from = end_ - n + 1 - pos_;
                break;
            }
            from = static_cast<size_t>(static_cast<const char*>(hit) - &buffer_[pos_]);
            if (std::memcmp(&buffer_[pos_ + from], literal, n) == 0) return from;
            ++from;
        }
        if (!more()) fail(std::string("document ends before '") + literal + "'");
    }
}

// Offset from pos_ of the '<' that ends the text at pos_, or of the document's
// end; *check tells whether the text may hold what decoding refuses.
size_t XmlPullParser::textEnd(bool* check) {
    // Most texts between tags are a line end or a short value: not worth the
    // library's search, and they are seen to hold no '&', ']' nor 8-bit byte on the way.
    const char* const begin = &buffer_[pos_];
    const char* const stop = begin + std::min<size_t>(end_ - pos_, 32);
    bool seen = false;
    for (const char* p = begin; p < stop; ++p) {
        if (!kBytes.is(*p, ByteClasses::kTextStop)) continue;
        if (*p == '<') {
            *check = seen;
            return static_cast<size_t>(p - begin);
        }
        seen = true;
    }
    *check = true;
    size_t from = static_cast<size_t>(stop - begin);
    for (;;) {
        const void* hit = std::memchr(&buffer_[pos_ + from], '<', end_ - pos_ - from);
        if (hit) return static_cast<size_t>(static_cast<const char*>(hit) - &buffer_[pos_]);
        from = end_ - pos_;
        if (!more()) return from;
    }
}

// Offset from pos_ just past the comment whose body starts at offset from:
// XML lets no "--" into a comment but its end.
size_t XmlPullParser::commentEnd(size_t from) {
    const size_t dashes = find("--", from);
    if (!have(dashes + 2)) fail("document ends inside a comment");
    if (buffer_[pos_ + dashes + 2] != '>') fail("'--' inside a comment");
    return dashes + 3;
}

// A text or attribute value the reader may never decode is decoded all the
// same: what XML forbids in it (a reference to no character or to one XML
// forbids, "]]>" in text, malformed UTF-8) is refused wherever it stands.
void XmlPullParser::check(const char* begin, const char* end, bool attribute) const {
    std::string scratch;
    decode(begin, end, true, attribute, &scratch);
}

// A processing instruction's target is a name; "xml" in any case is kept for
// the declaration, which stands only at the very start.
void XmlPullParser::checkInstruction(size_t close) const {
    const char* const target = &buffer_[pos_ + 2];
    const char* const stop = &buffer_[pos_ + close];
    const char* const targetEnd = skipName(target, stop);
    if (targetEnd == target) fail("processing instruction without a target");
    if (targetEnd != stop && !isSpace(*targetEnd)) fail("bad processing instruction target");
    if (targetEnd - target != 3 || (target[0] | 0x20) != 'x' || (target[1] | 0x20) != 'm' || (target[2] | 0x20) != 'l')
        return;
    if (!SameBytes(target, "xml", 3)) fail("processing instruction target reserved by XML");
    if (dropped_ + pos_ != start_) fail("XML declaration not at the start of the document");
}

// The document type declaration says nothing this reader uses; only its end matters.
void XmlPullParser::skipDoctype() {
    size_t at = 9;
    char quote = 0;
    bool subset = false;
    for (;;) {
        if (!have(at)) fail("document ends inside the document type declaration");
        const char c = buffer_[pos_ + at];
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (subset && c == '<' && have(at + 3) && std::memcmp(&buffer_[pos_ + at], "<!--", 4) == 0) {
            at = commentEnd(at + 4) - 1;
        } else if (c == '[') {
            subset = true;
        } else if (c == ']') {
            subset = false;
        } else if (c == '>' && !subset) {
            pos_ += at + 1;
            return;
        }
        ++at;
    }
}

XmlPullParser::Event XmlPullParser::Next() {
    // A text that was not decoded is checked before the window lets it go.
    if (textUnchecked_) {
        textUnchecked_ = false;
        check(&buffer_[textBegin_], &buffer_[0] + textEnd_, false);
    }
    if (pendingEnd_) {
        pendingEnd_ = false;
        current_ = --depth_;
        return kEndElement;
    }
    if (dropped_ + pos_ == 0 && startsWith("\xEF\xBB\xBF")) start_ = pos_ = 3;
    for (;;) {
        if (!have(0)) {
            if (!rootSeen_) fail("no root element");
            if (depth_) fail("document ends inside <" + open_[depth_ - 1] + ">");
            return kEndOfDocument;
        }
        if (buffer_[pos_] != '<') {
            bool check;
            const size_t end = textEnd(&check);
            if (depth_ == 0) {
                for (size_t i = 0; i < end; ++i)
                    if (!isSpace(buffer_[pos_ + i])) fail("text outside the root element");
                pos_ += end;
                continue;
            }
            textUnchecked_ = check;
            textBegin_ = pos_;
            textEnd_ = pos_ + end;
            textIsCdata_ = false;
            pos_ += end;
            return kText;
        }
        if (!have(1)) fail("document ends inside a tag");
        const char second = buffer_[pos_ + 1];
        if (second == '?') {
            const size_t close = find("?>", 2);
            checkInstruction(close);
            pos_ += close + 2;
        } else if (second == '/') {
            if (tightEnd()) return kEndElement;
            return endElement(findByte('>', 2));
        } else if (second != '!') {
            return startElement();
        } else if (startsWith("<!--")) {
            pos_ += commentEnd(4);
        } else if (startsWith("<![CDATA[")) {
            if (depth_ == 0) fail("CDATA outside the root element");
            const size_t end = find("]]>", 9);
            textBegin_ = pos_ + 9;
            textEnd_ = pos_ + end;
            textIsCdata_ = true;
            pos_ += end + 3;
            return kText;
        } else if (startsWith("<!DOCTYPE")) {
            if (rootSeen_) fail("document type declaration after the root element");
            skipDoctype();
        } else {
            fail("unknown markup '<!'");
        }
    }
}

XmlPullParser::Event XmlPullParser::startElement() {
    if (rootSeen_ && depth_ == 0) fail("a second root element");
    for (;;) {
        const size_t length = startTag();
        if (length) {
            pos_ += length;
            return kStartElement;
        }
        if (!more()) fail("document ends inside a tag");
    }
}

// Reads the start tag at pos_ and returns its length, or 0 when the window
// ends before the tag does.
size_t XmlPullParser::startTag() {
    const char* const begin = &buffer_[pos_];
    const char* const end = &buffer_[0] + end_;
    // Elements at one depth mostly share their name: the slot often has it
    // already, and then the name need not be scanned nor kept again.
    const std::string* const last = depth_ < open_.size() ? &open_[depth_] : nullptr;
    const size_t lastSize = last ? last->size() : 0;
    const bool same = lastSize && lastSize < static_cast<size_t>(end - begin) &&
                      SameBytes(begin + 1, last->data(), lastSize) &&
                      !kBytes.is(begin[lastSize + 1], ByteClasses::kNameChar);
    const char* p = same ? begin + 1 + lastSize : skipTagName(begin + 1);
    if (p == end) return 0;
    if (p == begin + 1) fail("bad element name");
    if (static_cast<size_t>(p - begin - 1) > kMaxNameSize)
        throw TWYXException(kWyxFileTooLarge, "an element name longer than 1024 bytes at offset " +
                                                  std::to_string(dropped_ + pos_));
    if (depth_ >= kMaxDepth)
        throw TWYXException(kWyxFileTooDeep, "more than 256 open elements at offset " +
                                                 std::to_string(dropped_ + pos_));
    if (open_.size() <= depth_) open_.emplace_back();
    if (!same) open_[depth_].assign(begin + 1, p);
    attrCount_ = 0;
    for (;;) {
        const char* q = skipTagSpace(p);
        if (q == end) return 0;
        if (*q == '>' || *q == '/') {
            if (*q == '/' && (q + 1 == end || q[1] != '>')) {
                if (q + 1 == end) return 0;
                fail("'/' inside a tag");
            }
            current_ = depth_++;
            rootSeen_ = true;
            pendingEnd_ = *q == '/';
            return static_cast<size_t>(q - begin) + (*q == '/' ? 2 : 1);
        }
        if (q == p) fail("attributes must be separated by white space");
        const char* name = q;
        q = skipTagName(q);
        if (q == end) return 0;
        if (q == name) fail("bad attribute name");
        const char* nameEnd = q;
        q = skipTagSpace(q);
        if (q == end) return 0;
        if (*q != '=') fail("attribute without '='");
        q = skipTagSpace(q + 1);
        if (q == end) return 0;
        if (*q != '"' && *q != '\'') fail("attribute value without quotes");
        // Values are short: one pass for the closing quote, a '<' before it and
        // whether decoding has anything to do.
        const char quote = *q;
        const char* valueEnd = q + 1;
        bool plain = true;
        for (;;) {
            while (!kBytes.is(*valueEnd, ByteClasses::kValueStop | ByteClasses::kAttributeSpecial)) ++valueEnd;
            if (valueEnd == end || *valueEnd == quote || *valueEnd == '<') break;
            if (kBytes.is(*valueEnd, ByteClasses::kAttributeSpecial)) plain = false;
            ++valueEnd;   // that, the other quote, or a 0 in the document
        }
        if (valueEnd < end && *valueEnd == '<') {
            if (!std::memchr(valueEnd, quote, static_cast<size_t>(end - valueEnd))) return 0;
            fail("'<' in an attribute value");
        }
        if (valueEnd == end) return 0;
        if (!plain) check(q + 1, valueEnd, true);
        if (attrCount_ == kMaxAttributes)
            throw TWYXException(kWyxFileTooLarge, "more than 256 attributes in one tag at offset " +
                                                      std::to_string(dropped_ + pos_));
        if (attrs_.size() <= attrCount_) attrs_.emplace_back();
        attrs_[attrCount_] = Attr{name, static_cast<size_t>(nameEnd - name), q + 1, valueEnd, plain};
        if (attrCount_ < kScannedAttributes) {
            const Attr& added = attrs_[attrCount_];
            for (size_t i = 0; i < attrCount_; ++i)
                if (attrs_[i].nameSize == added.nameSize && SameBytes(attrs_[i].name, added.name, added.nameSize))
                    fail("repeated attribute " + std::string(added.name, added.nameSize));
            ++attrCount_;
        } else {
            addManyAttribute();
        }
        p = valueEnd + 1;
    }
}

// The end tag at pos_ when it is written as the innermost open element's name
// and '>', already in the window: nearly every end tag. Anything else is left
// to endElement, which names what is wrong.
bool XmlPullParser::tightEnd() {
    if (depth_ == 0) return false;
    const std::string& open = open_[depth_ - 1];
    const size_t n = open.size();
    if (pos_ + n + 2 >= end_) return false;
    const char* p = &buffer_[pos_ + 2];
    if (p[n] != '>' || !SameBytes(p, open.data(), n)) return false;
    current_ = --depth_;
    pos_ += n + 3;
    return true;
}

XmlPullParser::Event XmlPullParser::endElement(size_t end) {
    const char* p = &buffer_[pos_ + 2];
    const char* stop = &buffer_[pos_ + end];
    const char* nameEnd = skipName(p, stop);
    const size_t nameSize = static_cast<size_t>(nameEnd - p);
    if (depth_ == 0 || skipSpace(nameEnd, stop) != stop || open_[depth_ - 1].size() != nameSize ||
        !SameBytes(open_[depth_ - 1].data(), p, nameSize))
        fail("end tag </" + std::string(p, nameEnd) + "> does not close " +
             (depth_ ? "<" + open_[depth_ - 1] + ">" : std::string("an element")));
    current_ = --depth_;
    pos_ += end + 1;
    return kEndElement;
}

// Counts in the attribute at attrCount_ of a tag past the scanned few,
// refusing a name the tag has already.
void XmlPullParser::addManyAttribute() {
    const Attr& added = attrs_[attrCount_];
    if (attrCount_ == kScannedAttributes) {
        slots_.assign(kAttributeSlots, 0);
        for (size_t i = 0; i < attrCount_; ++i) slot(attrs_[i]) = static_cast<uint16_t>(i + 1);
    }
    uint16_t& free = slot(added);
    if (free) fail("repeated attribute " + std::string(added.name, added.nameSize));
    free = static_cast<uint16_t>(++attrCount_);
}

// The table's slot that holds the attribute of this name, or the empty one where it goes.
uint16_t& XmlPullParser::slot(const Attr& attr) {
    for (size_t i = hashName(attr.name, attr.nameSize);; ++i) {
        uint16_t& s = slots_[i & (kAttributeSlots - 1)];
        if (!s) return s;
        const Attr& held = attrs_[s - 1];
        if (held.nameSize == attr.nameSize && SameBytes(held.name, attr.name, attr.nameSize)) return s;
    }
}

const XmlPullParser::Attr* XmlPullParser::findAttribute(const std::string& name) const {
    for (size_t i = 0; i < attrCount_; ++i) {
        const Attr& attr = attrs_[i];
        if (attr.nameSize == name.size() && SameBytes(attr.name, name.data(), name.size())) return &attr;
    }
    return nullptr;
}

bool XmlPullParser::Attribute(const std::string& name, std::string* value) const {
    const Attr* attr = findAttribute(name);
    if (!attr) return false;
    attributeValue(*attr, value);
    return true;
}

void XmlPullParser::attributeValue(const Attr& attr, std::string* value) const {
    if (attr.plain) {
        value->assign(attr.value, attr.valueEnd);
        return;
    }
    value->clear();
    decode(attr.value, attr.valueEnd, true, true, value);
}

bool XmlPullParser::AttributeIs(const std::string& name, const char* bytes, size_t size) const {
    const Attr* attr = findAttribute(name);
    return attr && attr->plain && static_cast<size_t>(attr->valueEnd - attr->value) == size &&
           SameBytes(attr->value, bytes, size);
}

void XmlPullParser::AttributeAt(size_t index, std::string* name, std::string* value) const {
    const Attr& attr = attrs_[index];
    name->assign(attr.name, attr.nameSize);
    attributeValue(attr, value);
}

uint64_t XmlPullParser::Line() const { return droppedLines_ + countLines(buffer_.data(), pos_) + 1; }

void XmlPullParser::AppendText(std::string* out) {
    decode(&buffer_[textBegin_], &buffer_[0] + textEnd_, !textIsCdata_, false, out);
    textUnchecked_ = false;
}

void XmlPullParser::SkipElement() {
    const size_t outer = depth_ - 1;
    while (depth_ > outer) Next();
}

// Line ends become LF (in attribute values, like tabs, a blank), UTF-8 becomes
// bytes, and references their characters.
void XmlPullParser::decode(const char* p, const char* end, bool references, bool attribute,
                           std::string* out) const {
    while (p < end) {
        const char* run = p;
        const unsigned char special = attribute ? ByteClasses::kAttributeSpecial : ByteClasses::kTextSpecial;
        while (p < end && !kBytes.is(*p, special)) ++p;
        out->append(run, static_cast<size_t>(p - run));
        if (p == end) return;
        if (static_cast<unsigned char>(*p) >= 0x80) {
            const char* wide = p;
            while (p < end && static_cast<unsigned char>(*p) >= 0x80) ++p;
            if (!AppendDecoded(wide, p, out)) fail("malformed UTF-8");
        } else if (*p == '\r') {
            out->push_back(attribute ? ' ' : '\n');
            if (++p < end && *p == '\n') ++p;
        } else if (*p == '&' && references) {
            p = reference(p, end, out);
        } else if (*p == ']') {
            if (references && end - p >= 3 && p[1] == ']' && p[2] == '>') fail("']]>' in text");
            out->push_back(']');
            ++p;
        } else {
            out->push_back(*p == '&' ? '&' : ' ');
            ++p;
        }
    }
}

// A reference at p: its character is appended. A document that uses an entity
// it cannot have declared, or an '&' that starts no reference, is not
// well-formed: kept as written it would be read as something it does not say.
const char* XmlPullParser::reference(const char* p, const char* end, std::string* out) const {
    const char* semicolon = static_cast<const char*>(std::memchr(p, ';', static_cast<size_t>(end - p)));
    if (!semicolon || semicolon - p > 12 || semicolon == p + 1) fail("'&' that starts no reference");
    static const struct {
        const char* name;
        size_t size;
        char c;
    } kNamed[] = {{"amp", 3, '&'}, {"lt", 2, '<'}, {"gt", 2, '>'}, {"quot", 4, '"'}, {"apos", 4, '\''}};
    const size_t size = static_cast<size_t>(semicolon - p - 1);
    for (const auto& named : kNamed) {
        if (size == named.size && SameBytes(p + 1, named.name, size)) {
            out->push_back(named.c);
            return semicolon + 1;
        }
    }
    const std::string name(p + 1, semicolon);
    if (name[0] != '#') fail("undefined entity &" + name + ";");
    const bool hex = name.size() > 1 && name[1] == 'x';
    unsigned long code = 0;
    size_t digits = 0;
    for (size_t i = hex ? 2 : 1; i < name.size(); ++i, ++digits) {
        const char c = name[i];
        int digit;
        if (c >= '0' && c <= '9') digit = c - '0';
        else if (hex && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        else if (hex && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        else fail("bad character reference &" + name + ";");
        code = code * (hex ? 16 : 10) + static_cast<unsigned long>(digit);
        if (code > 0x10FFFF) fail("bad character reference &" + name + ";");
    }
    if (digits == 0) fail("bad character reference &" + name + ";");
    if (!isXmlChar(code)) fail("reference to a character XML forbids &" + name + ";");
    AppendCharacter(static_cast<unsigned>(code), out);
    return semicolon + 1;
}

}  // namespace cimxml
