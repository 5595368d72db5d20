#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "expect_status.h"
#include "wyxcore/exception.h"
#include "wyxcore/status.h"
#include "xml_pull_parser.h"

namespace {

using cimxml::XmlPullParser;

// Hands the document out in pieces of a fixed size, so that every token is
// sometimes cut by the window's edge.
class PieceSource : public cimxml::XmlByteSource {
public:
    PieceSource(const std::string& text, size_t piece) : text_(text), piece_(piece), offset_(0) {}
    size_t Read(char* out, size_t capacity) override {
        const size_t n = std::min({capacity, piece_, text_.size() - offset_});
        std::memcpy(out, text_.data() + offset_, n);
        offset_ += n;
        return n;
    }

private:
    std::string text_;
    size_t piece_;
    size_t offset_;
};

// The events as text: <name a=value>, [text], </name>; texts as [] when they
// are not read.
std::string events(const std::string& document, size_t piece, bool readTexts = true) {
    const char* const attribute = "a";
    PieceSource source(document, piece);
    XmlPullParser parser(&source);
    std::string out;
    for (;;) {
        switch (parser.Next()) {
        case XmlPullParser::kStartElement: {
            out += "<" + parser.Name();
            std::string value;
            if (parser.Attribute(attribute, &value)) out += " " + std::string(attribute) + "=" + value;
            out += ">";
            break;
        }
        case XmlPullParser::kEndElement: out += "</" + parser.Name() + ">"; break;
        case XmlPullParser::kText: {
            std::string text;
            if (readTexts) parser.AppendText(&text);
            out += "[" + text + "]";
            break;
        }
        case XmlPullParser::kEndOfDocument: return out;
        }
    }
}

struct GoodCase {
    const char* what;
    std::string document;
    std::string events;
};

const GoodCase kGood[] = {
    {"empty root", "<r/>", "<r></r>"},
    {"declaration, comments, PI and white space around the root",
     "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!-- c -->\n<r>x</r>\n<?pi y?>\n<!-- z -->\n",
     "<r>[x]</r>"},
    {"document type with an internal subset", "<!DOCTYPE r [<!ENTITY e \"a>b\"> <!-- ] > --> ]>\n<r/>", "<r></r>"},
    {"nested elements and attributes", "<r a='1'><b a=\"x&gt;y\" c='>'/>t</r>", "<r a=1><b a=x>y></b>[t]</r>"},
    {"white space around '='", "<r a = \"v\" ></r >", "<r a=v></r>"},
    {"references", "<r>&amp;&lt;&gt;&quot;&apos;&#65;&#x42;&#13;</r>", "<r>[&<>\"'AB\r]</r>"},
    {"private-use characters are control bytes", "<r>&#xE007;\xEE\x80\x81</r>", std::string("<r>[\x07\x01]</r>")},
    {"characters beyond one byte read as '?'", "<r>&#x263A;\xE2\x98\xBA</r>", "<r>[??]</r>"},
    {"Latin-1 range as bytes", "<r a='caf\xC3\xA9'>\xC3\xA9</r>", "<r a=caf\xE9>[\xE9]</r>"},
    {"line ends in text", "<r>a\r\nb\rc\nd</r>", "<r>[a\nb\nc\nd]</r>"},
    {"line ends and tabs in attributes", "<r a='1\r\n2\t3\n4&#10;5'/>", "<r a=1 2 3 4\n5></r>"},
    {"siblings whose names begin alike", "<r><ab/><abc/><ab/><a/></r>", "<r><ab></ab><abc></abc><ab></ab><a></a></r>"},
    {"texts about a word long",
     "<r><a>1234567</a><a>12345678</a><a>123456789</a><a>" + std::string(40, 'x') + "</a></r>",
     "<r><a>[1234567]</a><a>[12345678]</a><a>[123456789]</a><a>[" + std::string(40, 'x') + "]</a></r>"},
    {"the other quote inside an attribute value", "<r a=\"it's\"/>", "<r a=it's></r>"},
    // The window's own 0 after its bytes ends a scan; one in the document does not.
    {"a 0 byte inside an attribute value", std::string("<r a='x\0y'/>", 12), std::string("<r a=x\0y></r>", 13)},
    {"CDATA keeps markup", "<r><![CDATA[<b>&amp;]]]]></r>", "<r>[<b>&amp;]]]</r>"},
    {"comment inside", "<r>a<!-- <b> -->b</r>", "<r>[a][b]</r>"},
    {"comments with single dashes, empty and in the subset", "<!DOCTYPE r [<!-- a-b -->]><r><!-- -x- --><!----></r>", "<r></r>"},
    {"characters at the edges of what XML allows",
     "<r a='&#x9;&#xD7FF;'>&#x20;&#xE000;&#xFFFD;&#x10000;&#1114111;</r>", std::string("<r a=\t?>[ ") + '\0' + "???]</r>"},
    {"']' and ']]' in text and attributes", "<r a=']]>'>a]b]]c]]</r>", "<r a=]]>>[a]b]]c]]]</r>"},
    {"processing instructions named like the declaration", "<r><?xml-stylesheet x?><?xmlx?><?xm?></r>", "<r></r>"},
    {"attribute names alike past the scanned few",
     "<r b1='' b2='' b3='' b4='' b5='' b6='' b7='' b8='' b9='' b10='' b11='' a='v' a1='' ab=''/>", "<r a=v></r>"},
};

TEST(XmlPullParser, WellFormedDocumentsInPiecesOfAnySize) {
    for (const GoodCase& c : kGood) {
        SCOPED_TRACE(c.what);
        for (size_t piece : {size_t(1), size_t(3), size_t(7), size_t(1) << 20}) {
            EXPECT_EQ(c.events, events(c.document, piece)) << "pieces of " << piece;
            EXPECT_NO_THROW(events(c.document, piece, false)) << "pieces of " << piece << ", texts unread";
        }
    }
}

struct BadCase {
    const char* what;
    std::string document;
};

// Documents XML 1.0 forbids: each one is refused, whether the reader would
// look at the part that is wrong or not.
const BadCase kBad[] = {
    {"empty", ""},
    {"only white space and a comment", "  <!-- x -->\n"},
    {"unclosed", "<r><b></b>"},
    {"end tag of another element", "<r><b></r></b>"},
    {"end tag with nothing open", "<r/></r>"},
    {"text before the root", "x<r/>"},
    {"text after the root", "<r/>x"},
    {"two roots", "<r/><s/>"},
    {"'<' in an attribute value", "<r a='<'/>"},
    {"attribute without quotes", "<r a=1/>"},
    {"attribute without '='", "<r a '1'/>"},
    {"attributes without space between", "<r a='1'b='2'/>"},
    {"unterminated attribute", "<r a='1/>"},
    {"bad element name", "<1r/>"},
    {"a 0 byte inside a tag", std::string("<r\0/>", 5)},
    {"end tag longer than the open element's name", "<r><a></ab></r>"},
    {"end tag shorter than the open element's name", "<r><ab></a></r>"},
    {"'/' inside a tag", "<r / a='1'>"},
    {"unterminated comment", "<r><!-- x</r>"},
    {"unterminated CDATA", "<r><![CDATA[x</r>"},
    {"CDATA outside the root", "<![CDATA[x]]><r/>"},
    {"document type after the root", "<r/><!DOCTYPE r>"},
    {"unknown markup", "<r><!ELEMENT r ANY></r>"},
    {"bad character reference", "<r>&#x12G;</r>"},
    {"character reference beyond Unicode", "<r>&#x110000;</r>"},
    {"empty character reference", "<r>&#;</r>"},
    {"undefined entity", "<r>&nbsp;</r>"},
    {"bare '&' in text", "<r>a & b</r>"},
    {"bare '&' in an attribute", "<r a='&'/>"},
    {"empty entity name", "<r>&;</r>"},
    {"malformed UTF-8 in text", "<r>\xC3(</r>"},
    {"UTF-8 cut at the end of the text", "<r>\xC3</r>"},
    {"malformed UTF-8 in an attribute", "<r a='\xFF'/>"},
    {"document cut inside a tag", "<r><b a='1'"},
    {"a repeated attribute", "<r a='1' a='2'/>"},
    {"a repeated attribute, the same value", "<r><b a='1' c='' a='1'/></r>"},
    {"a repeated attribute past the scanned few",
     "<r b1='' b2='' b3='' b4='' b5='' b6='' b7='' b8='' b9='' b10='' b11='' b3=''/>"},
    {"a repeated attribute right after the scanned few", "<r b1='' b2='' b3='' b4='' b5='' b6='' b7='' b8='' b1=''/>"},
    {"reference to character 0", "<r>&#0;</r>"},
    {"reference to a control character", "<r>&#x1;</r>"},
    {"reference to a control character in an attribute", "<r a='&#x1F;'/>"},
    {"reference to a high surrogate", "<r>&#xD800;</r>"},
    {"reference to a low surrogate", "<r>&#57343;</r>"},
    {"reference to U+FFFE", "<r>&#xFFFE;</r>"},
    {"reference to U+FFFF", "<r>&#xFFFF;</r>"},
    {"reference beyond Unicode, decimal", "<r>&#1114112;</r>"},
    {"forbidden reference in a text the reader skips", "<r><b>x&#0;</b></r>"},
    {"forbidden reference in a long text", "<r>" + std::string(100, 'x') + "&#x1;</r>"},
    {"forbidden reference at the end of the root's text", "<r><b/>&#xFFFF;</r>"},
    {"forbidden reference in an attribute no one asks for", "<r b='&#0;'/>"},
    {"undefined entity in an attribute no one asks for", "<r b='&nbsp;'/>"},
    {"malformed UTF-8 in an attribute no one asks for", "<r b='\xC3('/>"},
    {"malformed UTF-8 in a long text", "<r>" + std::string(100, 'x') + "\xE2\x98</r>"},
    {"'--' inside a comment", "<r><!-- a -- b --></r>"},
    {"a comment ending in '-'", "<r><!-- a ---></r>"},
    {"'--' inside a comment before the root", "<!-- -- --><r/>"},
    {"'--' inside a comment in the document type", "<!DOCTYPE r [<!-- -- -->]><r/>"},
    {"']]>' in text", "<r>a]]>b</r>"},
    {"']]>' in a long text", "<r>" + std::string(100, 'x') + "]]]></r>"},
    {"XML declaration after white space", " <?xml version='1.0'?><r/>"},
    {"XML declaration after a comment", "<!-- c --><?xml version='1.0'?><r/>"},
    {"XML declaration inside the root", "<r><?xml version='1.0'?></r>"},
    {"XML declaration after the root", "<r/><?xml version='1.0'?>"},
    {"XML declaration twice", "<?xml version='1.0'?><?xml version='1.0'?><r/>"},
    {"'xml' instruction in capitals", "<?XML version='1.0'?><r/>"},
    {"processing instruction without a target", "<r><? x?></r>"},
    {"processing instruction target starting with a digit", "<r><?1x?></r>"},
    {"unescaped '<' in a later attribute value", "<r a='1' b='x<y'/>"},
    {"attribute name starting with a digit", "<r 1a='x'/>"},
    {"element name starting with a digit inside the root", "<r><2b/></r>"},
    {"element name starting with '-'", "<-r/>"},
    {"a second root after white space and a comment", "<r/>\n<!-- c -->\n<r/>"},
    {"text after the root's end", "<r></r>\ntext\n"},
    {"a reference outside the root", "<r/>&#32;"},
    {"mismatched nested tags", "<r><a><b></a></b></r>"},
    {"end tag in another case", "<r></R>"},
    {"unclosed inner element", "<r><a></r>"},
    {"unclosed root", "<r>text"},
};

TEST(XmlPullParser, MalformedDocumentsAreNotXml) {
    for (const BadCase& c : kBad) {
        SCOPED_TRACE(c.what);
        for (size_t piece : {size_t(1), size_t(1) << 20}) {
            for (bool readTexts : {true, false}) {
                EXPECT_STATUS(events(c.document, piece, readTexts), kWyxFileNotXml)
                    << "in pieces of " << piece << (readTexts ? "" : ", texts unread");
            }
        }
    }
}

TEST(XmlPullParser, TokensLargerThanTheWindowAreReadWhole) {
    // Larger than the initial window, so the window has to grow.
    const std::string big(700 * 1024, 'x');
    const std::string document = "<r a='" + big + "'><!--" + big + "-->" + big + "<![CDATA[" + big + "]]></r>";
    EXPECT_EQ("<r a=" + big + ">[" + big + "][" + big + "]</r>", events(document, 65536));
}

// Bounds on what the parser holds, whatever the document: each row is one
// limit just passed, read in pieces so that nothing of it is held whole.
TEST(XmlPullParser, DocumentsBeyondItsBoundsAreRefusedEarly) {
    std::string open256, close256;
    for (int i = 0; i < 256; ++i) open256 += "<a>", close256 += "</a>";
    std::string attributes;
    for (int i = 0; i < 257; ++i) attributes += " a" + std::to_string(i) + "=''";
    const struct {
        const char* what;
        std::string document;
        int status;   // kWyxOK: read whole
    } cases[] = {
        {"text beyond 32 MiB", "<r>" + std::string((32 << 20) + 1, ' ') + "</r>", kWyxFileTooLarge},
        {"a comment beyond 32 MiB", "<r><!--" + std::string(32 << 20, '.') + "--></r>", kWyxFileTooLarge},
        {"an attribute value beyond 32 MiB", "<r a='" + std::string(32 << 20, 'v') + "'/>", kWyxFileTooLarge},
        {"256 open elements", open256 + close256, kWyxOK},
        {"257 open elements", "<r>" + open256 + close256 + "</r>", kWyxFileTooDeep},
        {"a name of 1024 bytes", "<" + std::string(1024, 'n') + "/>", kWyxOK},
        {"a name of 1025 bytes", "<" + std::string(1025, 'n') + "/>", kWyxFileTooLarge},
        {"256 attributes", "<r" + attributes.substr(0, attributes.rfind(' ')) + "/>", kWyxOK},
        {"257 attributes", "<r" + attributes + "/>", kWyxFileTooLarge},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_STATUS(events(c.document, 1 << 20), c.status);
    }
}

TEST(XmlPullParser, SkipElementPassesOverTheWholeSubtree) {
    PieceSource source("<r><skip><a><b/></a>text</skip><next/></r>", 2);
    XmlPullParser parser(&source);
    ASSERT_EQ(XmlPullParser::kStartElement, parser.Next());
    ASSERT_EQ(XmlPullParser::kStartElement, parser.Next());
    ASSERT_EQ("skip", parser.Name());
    parser.SkipElement();
    ASSERT_EQ(XmlPullParser::kStartElement, parser.Next());
    EXPECT_EQ("next", parser.Name());
    EXPECT_EQ(XmlPullParser::kEndElement, parser.Next());
    EXPECT_EQ(XmlPullParser::kEndElement, parser.Next());
    EXPECT_EQ("r", parser.Name());
    EXPECT_EQ(XmlPullParser::kEndOfDocument, parser.Next());
}

}  // namespace
