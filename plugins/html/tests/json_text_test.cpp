#include <gtest/gtest.h>

#include "json_text.h"

namespace {

// Each 8-bit value as UTF-8 text (the pre-pass) and as JSON safe in a script.
TEST(JsonText, UntrustedBytesBecomeUtf8AndAsciiSafeInAScriptFile) {
    const struct { std::string in; const char* text; const char* json; } cases[] = {
        {"plain", "plain", "\"plain\""},
        {"a\"b\\c", "a\"b\\c", "\"a\\\"b\\\\c\""},
        {"</script><img src=x>&", "</script><img src=x>&",
         "\"\\u003c/script\\u003e\\u003cimg src=x\\u003e\\u0026\""},
        {"<!-- x -->", "<!-- x -->", "\"\\u003c!-- x --\\u003e\""},
        {"tab\tline\nend", "tab\xe2\x90\x89line\xe2\x90\x8a" "end", "\"tab\\u2409line\\u240aend\""},  // one line
        {std::string("nul\0cr\r", 7), "nul\xe2\x90\x80" "cr\xe2\x90\x8d", "\"nul\\u2400cr\\u240d\""},
        {"\x7f", "\xe2\x90\xa1", "\"\\u2421\""},
        {"\xe2\x80\xa8\xe2\x80\xa9", "\xe2\x80\xa8\xe2\x80\xa9", "\"\\u2028\\u2029\""},  // end no statement
        {"caf\xc3\xa9 \xe9", "caf\xc3\xa9 \xc3\xa9", "\"caf\\u00e9 \\u00e9\""},       // UTF-8, else code page 1252
        {"\x80\x81", "\xe2\x82\xac\xef\xbf\xbd", "\"\\u20ac\\ufffd\""},
        {"\xc0\xbc", "\xc3\x80\xc2\xbc", "\"\\u00c0\\u00bc\""},                         // an overlong "<" stays two
        {"\xe2\x82", "\xc3\xa2\xe2\x80\x9a", "\"\\u00e2\\u201a\""},                     // a cut-off sequence
        {"\xf0\x9f\x98\x80", "\xf0\x9f\x98\x80", "\"\\ud83d\\ude00\""},                 // a surrogate pair
        {"it's", "it's", "\"it\\u0027s\""},   // the data file's literal is in quotes '...'
    };
    for (const auto& c : cases) {
        EXPECT_EQ(JsonText(c.in), c.text) << c.in;
        EXPECT_EQ(ScriptJson(JsonText(c.in)), c.json) << c.in;
    }
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    const std::string json = ScriptJson(JsonText(all));
    for (char c : json) {
        const unsigned char u = static_cast<unsigned char>(c);
        EXPECT_TRUE(u >= 0x20 && u < 0x7F && c != '<' && c != '>' && c != '&' && c != '\'') << int(u);
    }
    EXPECT_EQ(JsonValue::parse(json).get<std::string>(), JsonText(all));   // nothing lost on the way
}

}  // namespace
