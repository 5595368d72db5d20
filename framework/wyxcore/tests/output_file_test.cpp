#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <set>

#include "expect_status.h"
#include "test_support.h"
#include "wyxcore/crash_file.h"
#include "wyxcore/exception.h"
#include "wyxcore/os_specific.h"
#include "wyxcore/output_directory.h"
#include "wyxcore/output_file.h"
#include "wyxcore/safe_name.h"
#include "wyxcore/status.h"
#include "wyxcore/transcript_file.h"

namespace {

namespace fs = std::filesystem;
using testsupport::ReadBytes;
using testsupport::TempDir;
using testsupport::WriteBytes;

bool onWindows() { return TOSSpecific::kFileSeparator == "\\"; }

std::set<std::string> namesIn(const std::string& directory) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(directory)) names.insert(entry.path().filename().string());
    return names;
}

// A link at path to target; false where the platform (or Wine) cannot make one.
bool plantLink(const std::string& target, const std::string& path) {
    std::error_code error;
    fs::create_symlink(target, path, error);
    return !error;
}

fs::perms permissionsOf(const std::string& path) { return fs::status(path).permissions() & fs::perms::all; }

TEST(SafeNamePart, ReducesDataToASafeBoundedName) {
    const struct {
        std::string text, name;
    } rows[] = {
        {"KD12345", "KD12345"},
        {"8842-AB1", "8842-AB1"},
        {"Unknown", "Unknown"},
        {"N/A", "N_A"},                             // lost the whole collection once
        {"\\..\\..\\x", "_.._.._x"},               // climbed out of /d on Windows
        {"..", "__"},
        {".", "_"},
        {"", "_"},
        {"run.", "run_"},                            // Windows drops a trailing dot
        {".hidden", "_hidden"},
        {"a b\tc", "a_b_c"},
        {"Caf\xe9\x80\xff", "Caf___"},             // 8-bit bytes
        {std::string("a\0b", 3), "a_b"},
        {"NUL", "_NUL"},                             // Windows device names
        {"com1.txt", "_com1.txt"},
        {"COM10", "COM10"},
        {std::string(200, 'x'), std::string(kSafeNamePartMax, 'x')},
        {"NUL" + std::string(100, 'y'), "NUL" + std::string(kSafeNamePartMax - 3, 'y')},
    };
    for (const auto& row : rows) EXPECT_EQ(row.name, SafeNamePart(row.text)) << row.text;
    EXPECT_EQ(kSafeNamePartMax, SafeNamePart("con." + std::string(100, 'z')).size());
}

TEST(WriteOutputFile, ReplacesWholeAndPrivatelyWithNoTemporaryLeft) {
    TempDir dir;
    const std::string path = dir.path("report.txt");
    WriteOutputFile(path, "first version, longer\n", true);
    WriteOutputFile(path, "second\nline\n", true);
    EXPECT_EQ(onWindows() ? "second\r\nline\r\n" : "second\nline\n", ReadBytes(path));
    WriteOutputFile(path, "raw\n", false);
    EXPECT_EQ("raw\n", ReadBytes(path));
    EXPECT_EQ(std::set<std::string>{"report.txt"}, namesIn(dir.path()));
    if (!onWindows()) {
        EXPECT_EQ(fs::perms::owner_read | fs::perms::owner_write, permissionsOf(path));
    }
}

TEST(WriteOutputFile, NeverWritesThroughAPlantedLink) {
    TempDir dir;
    const std::string path = dir.path("out.xml.gz");
    // At the final name, and at every temporary name a writer of ours once used.
    for (const std::string& planted : {path, path + ".part", path + ".partial", path + ".tmp"}) {
        const std::string victim = dir.path("victim");
        WriteBytes(victim, "someone else's file");
        if (!plantLink(victim, planted)) GTEST_SKIP() << "no symbolic links here";
        WriteOutputFile(path, "output");
        EXPECT_EQ("someone else's file", ReadBytes(victim)) << planted;
        EXPECT_EQ("output", ReadBytes(path)) << planted;
        EXPECT_FALSE(fs::is_symlink(path)) << planted;
        fs::remove(planted);
        fs::remove(path);
    }
}

TEST(TOutputFile, TwoWritersOfOneNameNeverShareATemporaryFile) {
    TempDir dir;
    const std::string path = dir.path("same.xml.gz");
    {
        TOutputFile first(path);
        TOutputFile second(path);
        first.Write("first, whole");
        second.Write("second, whole");
        EXPECT_EQ(2u, namesIn(dir.path()).size());   // two temporary files, no final one yet
        second.Commit();
        first.Commit();
    }
    EXPECT_EQ("first, whole", ReadBytes(path));        // the last rename wins
    EXPECT_EQ(std::set<std::string>{"same.xml.gz"}, namesIn(dir.path()));
}

TEST(TOutputFile, FailureLeavesThePreviousFileAndNoTemporary) {
    TempDir dir;
    const std::string path = dir.path("kept.txt");
    WriteBytes(path, "previous");
    {
        TOutputFile abandoned(path);
        abandoned.Write(std::string(100000, 'x'));
    }   // never committed: as if the writer failed on the way
    EXPECT_EQ("previous", ReadBytes(path));
    EXPECT_EQ(std::set<std::string>{"kept.txt"}, namesIn(dir.path()));
    fs::create_directory(dir.path("taken"));
    WriteBytes(dir.path("taken/inside"), "x");
    const struct {
        std::string path;
        int status;
    } rows[] = {
        {dir.path("no-such-dir") + TOSSpecific::kFileSeparator + "x.txt", kWyxAccessDenied},
        {dir.path("taken"), kWyxAccessDenied},   // a directory with something in it is at the name
        {"", kWyxAccessDenied},
    };
    for (const auto& row : rows)
        EXPECT_STATUS(WriteOutputFile(row.path, "text"), row.status) << row.path;
    EXPECT_EQ((std::set<std::string>{"kept.txt", "taken"}), namesIn(dir.path()));
}

TEST(TOutputDirectory, PutsAPrivateDirectoryInPlaceWhole) {
    TempDir dir;
    const std::string path = dir.path("pages");
    {
        TOutputDirectory pages(path + TOSSpecific::kFileSeparator);
        pages.Add("a.html", "A");
        pages.Add("b.txt", "B\n", true);
        EXPECT_FALSE(fs::exists(path));                  // nothing under the final name before Commit
        pages.Commit();
    }
    EXPECT_EQ("A", ReadBytes(path + "/a.html"));
    EXPECT_EQ(onWindows() ? "B\r\n" : "B\n", ReadBytes(path + "/b.txt"));
    EXPECT_EQ(std::set<std::string>{"pages"}, namesIn(dir.path()));
    if (!onWindows()) {
        EXPECT_EQ(fs::perms::owner_all, permissionsOf(path));
        EXPECT_EQ(fs::perms::owner_read | fs::perms::owner_write, permissionsOf(path + "/a.html"));
    }
    {
        TOutputDirectory uncommitted(dir.path("never"));
        uncommitted.Add("x.html", "X");
    }
    EXPECT_EQ(std::set<std::string>{"pages"}, namesIn(dir.path()));
}

TEST(TOutputDirectory, RefusesNamesThatAreNotPlainFileNames) {
    TempDir dir;
    TOutputDirectory pages(dir.path("pages"));
    pages.Add("index.html", "I");
    const std::string longest(100, 'c');
    pages.Add(longest, "a class with a long name");
    for (const std::string& name : {std::string("../x.html"), std::string("sub/x.html"), std::string("..\\x.html"),
                                    std::string(".."), std::string(), std::string("index.html"), longest + "c",
                                    std::string(kOutputManifestName)})
        EXPECT_STATUS(pages.Add(name, "x"), kWyxInvalidArgument) << name;
}

TEST(TOutputDirectory, ReRenderReplacesOnlyItsOwnFiles) {
    TempDir dir;
    const std::string path = dir.path("pages");
    const auto render = [&](std::initializer_list<const char*> names) {
        TOutputDirectory pages(path);
        for (const char* name : names) pages.Add(name, std::string("new ") + name);
        pages.Commit();
    };
    const struct {
        const char* what;
        std::initializer_list<const char*> first, second;
        std::set<std::string> expected;
        bool keptBeside;
    } rows[] = {
        // A page of the first render that the second has not: gone; the user's file stays.
        {"stale page", {"index.html", "p2.html"}, {"index.html"}, {"index.html", "notes.txt"}, false},
        // The user's file has the name of a new page: the page is written, the file kept beside.
        {"clash", {"index.html"}, {"index.html", "notes.txt"}, {"index.html", "notes.txt"}, true},
    };
    for (const auto& row : rows) {
        fs::remove_all(dir.path());
        fs::create_directories(dir.path());
        render(row.first);
        WriteBytes(path + "/notes.txt", "the user's");
        render(row.second);
        std::set<std::string> expected = row.expected;
        expected.insert(kOutputManifestName);
        EXPECT_EQ(expected, namesIn(path)) << row.what;
        EXPECT_EQ("new index.html", ReadBytes(path + "/index.html")) << row.what;
        const std::set<std::string> beside = namesIn(dir.path());
        EXPECT_EQ(row.keptBeside ? 2u : 1u, beside.size()) << row.what;
        for (const std::string& name : beside) {
            if (name == "pages") continue;
            EXPECT_EQ(0u, name.find("pages.kept-")) << name;
            EXPECT_EQ("the user's", ReadBytes(dir.path(name) + "/notes.txt"));
        }
        if (!row.keptBeside) {EXPECT_EQ("the user's", ReadBytes(path + "/notes.txt")) << row.what;}
    }
}

TEST(TOutputDirectory, ADirectoryWithoutAManifestIsAllTheUsers) {
    TempDir dir;
    const std::string path = dir.path("pages");
    fs::create_directory(path);
    WriteBytes(path + "/mine.html", "the user's");
    TOutputDirectory pages(path);
    pages.Add("index.html", "I");
    pages.Commit();
    EXPECT_EQ("the user's", ReadBytes(path + "/mine.html"));
    EXPECT_EQ("I", ReadBytes(path + "/index.html"));
}

// What a directory that is not the user's whole holds besides pages: nothing
// under a temporary or retired name.
std::set<std::string> strayNames(const std::string& directory) {
    std::set<std::string> stray;
    for (const std::string& name : namesIn(directory))
        if (name.find(".tmp") != std::string::npos || name.find(".old") != std::string::npos) stray.insert(name);
    return stray;
}

TEST(TOutputDirectory, AManifestThatNorbixCannotHaveWrittenLeavesEverythingTheUsers) {
    TempDir dir;
    const std::string path = dir.path("pages");
    const std::string manifest = path + "/" + kOutputManifestName;
    const struct {
        const char* what;
        std::function<bool()> make;   // false: not on this platform
    } rows[] = {
        // Read whole before its bound was checked: "Out of memory", the user's files stranded.
        {"6 GiB, sparse", [&] { fs::resize_file(manifest, 6ull << 30); return true; }},
        {"a FIFO", [&] { fs::remove(manifest); return testsupport::MakeFifo(manifest); }},   // hung the re-render
        {"a directory", [&] { fs::remove(manifest); return fs::create_directory(manifest); }},
        {"a link to a list elsewhere", [&] {
             WriteBytes(dir.path("list"), "notes.txt\n");
             fs::remove(manifest);
             return plantLink(dir.path("list"), manifest);
         }},
    };
    for (const auto& row : rows) {
        for (const std::string& name : namesIn(dir.path())) fs::remove_all(dir.path(name));
        {
            TOutputDirectory first(path);
            first.Add("index.html", "old index");
            first.Add("gone.html", "old page");
            first.Commit();
        }
        WriteBytes(path + "/notes.txt", "the user's");
        if (!row.make()) continue;
        TOutputDirectory second(path);
        second.Add("index.html", "new index");
        second.Commit();
        // The earlier render counts as the user's: its pages stay, the one a new page displaces kept beside.
        EXPECT_EQ("new index", ReadBytes(path + "/index.html")) << row.what;
        EXPECT_EQ("the user's", ReadBytes(path + "/notes.txt")) << row.what;
        EXPECT_EQ("old page", ReadBytes(path + "/gone.html")) << row.what;
        EXPECT_EQ(std::set<std::string>{}, strayNames(dir.path())) << row.what;
        std::string kept;
        for (const std::string& name : namesIn(dir.path()))
            if (name.rfind("pages.kept-", 0) == 0) kept = dir.path(name);
        ASSERT_FALSE(kept.empty()) << row.what;
        EXPECT_EQ("old index", ReadBytes(kept + "/index.html")) << row.what;
        EXPECT_NE(fs::file_type::not_found, fs::symlink_status(kept + "/" + kOutputManifestName).type()) << row.what;
    }
    if (fs::exists(dir.path("list"))) {EXPECT_EQ("notes.txt\n", ReadBytes(dir.path("list")));}
}

TEST(TOutputDirectory, APageReplacedByALinkLosesTheLinkNeverItsTarget) {
    TempDir dir;
    const std::string path = dir.path("pages");
    fs::create_directory(dir.path("elsewhere"));
    WriteBytes(dir.path("elsewhere/file"), "someone else's file");
    WriteBytes(dir.path("elsewhere/kept"), "someone else's, in a directory");
    const struct {
        const char* what;
        std::string target;
    } rows[] = {
        {"link to a file", dir.path("elsewhere/file")},
        {"link to a directory", dir.path("elsewhere")},
    };
    for (const auto& row : rows) {
        fs::remove_all(path);
        for (const char* page : {"index.html", "a.html"}) {
            TOutputDirectory first(path);
            first.Add("index.html", "old index");
            first.Add("a.html", "old a");
            first.Commit();
            fs::remove(path + "/" + page);
            if (!plantLink(row.target, path + "/" + page)) GTEST_SKIP() << "no symbolic links here";
            TOutputDirectory second(path);
            second.Add("index.html", "new index");
            second.Commit();
            EXPECT_EQ("someone else's file", ReadBytes(dir.path("elsewhere/file"))) << row.what << page;
            EXPECT_EQ("someone else's, in a directory", ReadBytes(dir.path("elsewhere/kept"))) << row.what << page;
            EXPECT_EQ((std::set<std::string>{"index.html", kOutputManifestName}), namesIn(path)) << row.what << page;
            EXPECT_EQ((std::set<std::string>{"elsewhere", "file", "kept", "pages"}),
                      [&] {
                          std::set<std::string> all = namesIn(dir.path());
                          for (const std::string& name : namesIn(dir.path("elsewhere"))) all.insert(name);
                          return all;
                      }())
                << row.what << page;   // nothing kept beside, nothing under an ".old" name
            fs::remove_all(path);
        }
    }
}

TEST(TOutputDirectory, ALinkOrAFileAtTheNameIsRefusedAndUntouched) {
    TempDir dir;
    const std::string path = dir.path("pages");
    fs::create_directory(dir.path("elsewhere"));
    WriteBytes(dir.path("elsewhere/index.html"), "someone else's");
    for (bool link : {false, true}) {
        fs::remove(path);
        if (link && !plantLink(dir.path("elsewhere"), path)) continue;
        if (!link) WriteBytes(path, "a file");
        TOutputDirectory pages(path);
        pages.Add("index.html", "I");
        EXPECT_STATUS(pages.Commit(), kWyxAccessDenied) << link;
        EXPECT_EQ("someone else's", ReadBytes(dir.path("elsewhere/index.html")));
    }
}

TEST(TTranscriptFile, StartsAfreshAndNeverWritesThroughALink) {
    TempDir dir;
    const std::string path = dir.path("OSK_Output.txt");
    WriteBytes(dir.path("victim"), "someone else's file");
    const bool linked = plantLink(dir.path("victim"), path);
    if (!linked) WriteBytes(path, "an earlier run's transcript");
    TTranscriptFile log;
    ASSERT_TRUE(log.Open(path));
    EXPECT_TRUE(log.Write("one\n"));
    EXPECT_TRUE(log.Write("two\n"));
    EXPECT_EQ(onWindows() ? "one\r\ntwo\r\n" : "one\ntwo\n", ReadBytes(path));   // on disk at once
    log.Close();
    EXPECT_FALSE(log.IsOpen());
    EXPECT_FALSE(log.Write("three\n"));
    EXPECT_EQ("someone else's file", ReadBytes(dir.path("victim")));
    EXPECT_EQ((std::set<std::string>{"OSK_Output.txt", "victim"}), namesIn(dir.path()));
    if (!onWindows()) {
        EXPECT_EQ(fs::perms::owner_read | fs::perms::owner_write, permissionsOf(path));
    }
    EXPECT_FALSE(log.Open(dir.path("no-such-dir") + TOSSpecific::kFileSeparator + "x.txt"));
}

TEST(TCrashFile, ReplacesTheDumpWithoutFollowingALink) {
    TempDir dir;
    const std::string path = dir.path("OSK_Core.dmp");
    WriteBytes(dir.path("victim"), "someone else's file");
    if (!plantLink(dir.path("victim"), path)) WriteBytes(path, "an earlier dump");
    TCrashFile dump;
    ASSERT_TRUE(dump.Prepare(path.c_str()));
    ASSERT_NE(-1, dump.Create());
    EXPECT_TRUE(dump.Commit());
    EXPECT_EQ("", ReadBytes(path));
    EXPECT_EQ("someone else's file", ReadBytes(dir.path("victim")));
    EXPECT_EQ((std::set<std::string>{"OSK_Core.dmp", "victim"}), namesIn(dir.path()));
    TCrashFile abandoned;
    ASSERT_TRUE(abandoned.Prepare(path.c_str()));
    ASSERT_NE(-1, abandoned.Create());
    abandoned.Abandon();
    EXPECT_EQ((std::set<std::string>{"OSK_Core.dmp", "victim"}), namesIn(dir.path()));
    TCrashFile tooLong;
    EXPECT_FALSE(tooLong.Prepare(std::string(TCrashFile::kMaxPath, 'a').c_str()));
    EXPECT_EQ(-1, tooLong.Create());
}

TEST(PrivateDirectoryProblem, NamesWhyADirectoryIsNotTheUsersOwn) {
    TempDir dir;
    fs::create_directory(dir.path("own"));
    WriteBytes(dir.path("file"), "x");
    const bool linked = plantLink(dir.path("own"), dir.path("link"));
    const struct {
        std::string path, problem;
    } rows[] = {
        {dir.path("own"), ""},
        {dir.path("file"), "is not a directory"},
        {dir.path("link"), linked ? "is a symbolic link" : "cannot be examined"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(row.problem, PrivateDirectoryProblem(row.path).substr(0, row.problem.size())) << row.path;
}

}  // namespace
