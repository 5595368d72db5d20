#include <gtest/gtest.h>

#include "text_cell.h"

namespace {

TEST(PlainText, ControlBytesBecomeEscapes) {
    const struct { std::string in, out; } cases[] = {
        {"plain text", "plain text"},
        {"a\nb", "a\\nb"},
        {"a\r\nb", "a\\r\\nb"},
        {"tab\there", "tab\\there"},
        {std::string("nul\0end", 7), "nul\\x00end"},
        {"\x1b[31mred", "\\x1B[31mred"},
        {"del\x7f", "del\\x7F"},
        {"caf\xc3\xa9", "caf\xc3\xa9"},
    };
    for (const auto& c : cases) EXPECT_EQ(PlainText(c.in), c.out) << c.in;
}

TEST(TextWidth, CountsCharactersOfValidUtf8AndBytesOtherwise) {
    const struct { std::string text; size_t width; } cases[] = {
        {"", 0},
        {"abc", 3},
        {"caf\xc3\xa9", 4},                 // UTF-8
        {"caf\xe9", 4},                     // Latin-1 byte
        {"\xc3\xa9\xe9", 3},                // mixed: taken as bytes
        {"\xe2\x82\xac 5", 3},              // three-byte sequence
        {"\xc0\xaf", 2},                    // overlong form is not UTF-8
        {"\xed\xa0\x80", 3},                // surrogate is not UTF-8
    };
    for (const auto& c : cases) EXPECT_EQ(TextWidth(c.text), c.width) << c.text;
}

TEST(WrapText, BreaksAtBlanksWithinWidthElseInsideWords) {
    const struct { std::string text; size_t width; std::vector<std::string> lines; } cases[] = {
        {"", 5, {""}},
        {"short", 10, {"short"}},
        {"exactly10!", 10, {"exactly10!"}},
        {"one two three", 7, {"one two", "three"}},
        {"one two three", 5, {"one", "two", "three"}},
        {"abcdefghij", 4, {"abcd", "efgh", "ij"}},
        {"ab cdefghijkl", 4, {"ab", "cdef", "ghij", "kl"}},
        {"\xc3\xa9\xc3\xa9\xc3\xa9", 2, {"\xc3\xa9\xc3\xa9", "\xc3\xa9"}},   // never splits a character
    };
    for (const auto& c : cases) EXPECT_EQ(WrapText(c.text, c.width), c.lines) << c.text << " / " << c.width;
}

TEST(WrapText, NothingIsLost) {
    const std::string text = "Remote login from admin on port 3: session opened and kept open";
    for (size_t width = 1; width < 20; ++width) {
        std::string joined;
        for (const std::string& line : WrapText(text, width)) {
            EXPECT_LE(TextWidth(line), width);
            joined += line;
        }
        std::string squeezed;
        for (char c : text)
            if (c != ' ') squeezed += c;
        std::string joinedSqueezed;
        for (char c : joined)
            if (c != ' ') joinedSqueezed += c;
        EXPECT_EQ(joinedSqueezed, squeezed) << width;
    }
}

}  // namespace
