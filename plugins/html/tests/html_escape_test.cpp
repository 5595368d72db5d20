#include <gtest/gtest.h>

#include "html_escape.h"

namespace {

TEST(EscapeHtml, UntrustedBytesBecomeSafeAscii) {
    const struct { std::string in, out; } cases[] = {
        {"plain", "plain"},
        {"<script>alert(1)</script>", "&lt;script&gt;alert(1)&lt;/script&gt;"},
        {"a & b", "a &amp; b"},
        {"\"quoted\" 'single'", "&quot;quoted&quot; &#39;single&#39;"},
        {"&amp;", "&amp;amp;"},
        {"line\nnext\ttab", "line\nnext\ttab"},
        {std::string("nul\0", 4), "nul&#x2400;"},
        {"cr\r", "cr&#x240D;"},
        {"esc\x1b", "esc&#x241B;"},
        {"del\x7f", "del&#x2421;"},
        {"caf\xc3\xa9", "caf&#xE9;"},              // UTF-8
        {"caf\xe9", "caf&#xE9;"},                  // code page 1252
        {"\x80 \x81 \x9f", "&#x20AC; &#xFFFD; &#x178;"},
        {"\xe2\x82\xac", "&#x20AC;"},
        {"\xf0\x9f\x98\x80", "&#x1F600;"},
        {"\xc0\xbc", "&#xC0;&#xBC;"},              // overlong "<" is not taken as UTF-8
        {"\xed\xa0\x80", "&#xED;&#xA0;&#x20AC;"},  // nor is a surrogate
        {"\xe2\x82", "&#xE2;&#x201A;"},            // cut-off sequence
    };
    for (const auto& c : cases) EXPECT_EQ(EscapeHtml(c.in), c.out) << c.in;
}

TEST(EscapeHtml, EveryByteGivesPrintableAsciiWithoutMarkup) {
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    const std::string out = EscapeHtml(all);
    for (char c : out) {
        const unsigned char u = static_cast<unsigned char>(c);
        EXPECT_TRUE((u >= 0x20 && u < 0x7F) || c == '\n' || c == '\t') << int(u);
        EXPECT_NE(c, '<');
        EXPECT_NE(c, '>');
        EXPECT_NE(c, '"');
    }
}

}  // namespace
