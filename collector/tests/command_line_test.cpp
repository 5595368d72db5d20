#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "collector_app.h"
#include "env_var.h"

namespace {

struct Options {
    std::string outputDir, inputFile, outputBaseName, mediaDir;
    bool createOutputDir, noPrompt, writeXml, writeText, writeHtml, upload, website, showUsage, dumpXml;
};

Options parse(std::vector<std::string> args) {
    args.insert(args.begin(), "norbix");
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(&a[0]);
    argv.push_back(nullptr);
    CollectorApp app;
    app.parseCommandLine(static_cast<int>(args.size()), argv.data());
    return Options{app.outputDir, app.inputFile, app.outputBaseName, app.mediaDir, app.createOutputDir,
                   app.noPrompt, app.writeXml, app.writeText, app.writeHtml, app.upload, app.website,
                   app.showUsage, app.dumpXml};
}

struct Case {
    std::vector<std::string> args;
    Options expected;
};

// Defaults: xml on, everything else off.
Options base() { return Options{"", "", "", "", false, false, true, false, false, false, false, false, false}; }

Options with(Options o, void (*change)(Options&)) {
    change(o);
    return o;
}

class ParseTest : public ::testing::TestWithParam<Case> {};

TEST_P(ParseTest, SetsTheOptions) {
    const Case& c = GetParam();
    const Options o = parse(c.args);
    const Options& e = c.expected;
    EXPECT_EQ(o.outputDir, e.outputDir);
    EXPECT_EQ(o.inputFile, e.inputFile);
    EXPECT_EQ(o.outputBaseName, e.outputBaseName);
    EXPECT_EQ(o.mediaDir, e.mediaDir);
    EXPECT_EQ(o.createOutputDir, e.createOutputDir);
    EXPECT_EQ(o.noPrompt, e.noPrompt);
    EXPECT_EQ(o.writeXml, e.writeXml);
    EXPECT_EQ(o.writeText, e.writeText);
    EXPECT_EQ(o.writeHtml, e.writeHtml);
    EXPECT_EQ(o.upload, e.upload);
    EXPECT_EQ(o.website, e.website);
    EXPECT_EQ(o.showUsage, e.showUsage);
    EXPECT_EQ(o.dumpXml, e.dumpXml);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ParseTest,
    ::testing::Values(
        Case{{}, base()},
        Case{{"/v"}, with(base(), [](Options& o) { o.writeHtml = true; })},
        Case{{"-V"}, with(base(), [](Options& o) { o.writeHtml = true; })},
        Case{{"/b", "/C", "-x", "/t"}, with(base(), [](Options& o) {
                 o.noPrompt = o.createOutputDir = o.upload = true;
                 o.writeXml = false;
             })},
        Case{{"/text", "/website", "/dumpxml"}, with(base(), [](Options& o) {
                 o.writeText = o.website = o.dumpXml = true;
             })},
        // A value option takes the next argument verbatim, even an option.
        Case{{"/d", "/v"}, with(base(), [](Options& o) { o.outputDir = "/v"; })},
        Case{{"/D", "-i", "x", "/u", "-"}, with(base(), [](Options& o) {
                 o.outputDir = "-i";
                 o.showUsage = true;   // "x" is no option
             })},
        Case{{"/i", "a.xml", "/I", "b.xml", "/u", "cd"}, with(base(), [](Options& o) {
                 o.inputFile = "b.xml";
                 o.mediaDir = "cd";
             })},
        Case{{"/d"}, with(base(), [](Options& o) { o.showUsage = true; })},
        Case{{"/v", "/u"}, with(base(), [](Options& o) {
                 o.writeHtml = true;
                 o.showUsage = true;
             })},
        // Parsing stops at the first invalid argument or usage request.
        Case{{"/?", "/b"}, with(base(), [](Options& o) { o.showUsage = true; })},
        Case{{"/b", "/h"}, with(base(), [](Options& o) { o.noPrompt = o.showUsage = true; })},
        Case{{"/vx", "/b"}, with(base(), [](Options& o) { o.showUsage = true; })},
        Case{{"/y"}, with(base(), [](Options& o) { o.showUsage = true; })},
        Case{{"/Z"}, with(base(), [](Options& o) { o.showUsage = true; })},
        Case{{"/>"}, with(base(), [](Options& o) { o.showUsage = true; })},
        Case{{"/-"}, with(base(), [](Options& o) { o.showUsage = true; })},
        Case{{"v"}, with(base(), [](Options& o) { o.showUsage = true; })},
        Case{{"/"}, with(base(), [](Options& o) { o.showUsage = true; })},
        Case{{""}, with(base(), [](Options& o) { o.showUsage = true; })},
        Case{{"/WEBSITE"}, with(base(), [](Options& o) { o.showUsage = true; })},
        Case{{"-text"}, with(base(), [](Options& o) { o.showUsage = true; })},
        // dirmode looks at nothing after its directory.
        Case{{"dirmode", "out", "/v", "/q"}, with(base(), [](Options& o) {
                 o.noPrompt = true;
                 o.outputBaseName = "dir_temp";
                 o.outputDir = "out";
             })},
        Case{{"dirmode"}, with(base(), [](Options& o) {
                 o.noPrompt = true;
                 o.outputBaseName = "dir_temp";
             })},
        Case{{"/b", "dirmode", "x"}, with(base(), [](Options& o) {
                 o.noPrompt = true;
                 o.showUsage = true;
             })},
        Case{{"DIRMODE", "x"}, with(base(), [](Options& o) { o.showUsage = true; })}));

TEST(ParseFull, SetsTheEnvironmentAtOnceEvenBeforeAnInvalidOption) {
    testsupport::SetEnv("WYX_RETRIEVE_FULL_H8_LOGS", "0");
    const Options o = parse({"/F", "/bad"});
    EXPECT_TRUE(o.showUsage);
    const char* value = std::getenv("WYX_RETRIEVE_FULL_H8_LOGS");
    ASSERT_NE(value, nullptr);
    EXPECT_STREQ(value, "1");
}

}  // namespace
