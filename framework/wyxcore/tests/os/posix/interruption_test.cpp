#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>
#include <set>

#include "test_support.h"
#include "wyxcore/output_directory.h"
#include "wyxcore/output_file.h"
#include "wyxcore/transcript_file.h"

namespace {

namespace fs = std::filesystem;

std::set<std::string> namesIn(const std::string& directory) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(directory)) names.insert(entry.path().filename().string());
    return names;
}

// Signalled in the middle of every kind of write: what was in place stays,
// every temporary file and directory and the console log go, and the process
// dies of the signal as it would have without the cleanup.
TEST(InterruptedRun, RemovesItsTemporariesAndDiesOfTheSignal) {
    // Forked, so that the child writes into this test's directory.
    GTEST_FLAG_SET(death_test_style, "fast");
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
        testsupport::TempDir dir;
        WriteOutputFile(dir.path("earlier.xml.gz"), "earlier, whole");
        const auto interruptedRun = [&] {
            RemoveTemporariesOnInterruption();
            TTranscriptFile log;
            log.Open(dir.path("OSK_Output_20240101-000000.txt"));
            log.Write("Loading plug-ins.\n");
            WriteOutputFile(dir.path("done.txt"), "whole");
            TOutputFile xml(dir.path("earlier.xml.gz"));
            xml.Write(std::string(100000, 'x'));
            TOutputDirectory pages(dir.path("pages"));
            for (int i = 0; i < 300; ++i) pages.Add("p" + std::to_string(i) + ".html", "page");
            raise(signal);
        };
        EXPECT_EXIT(interruptedRun(), testing::KilledBySignal(signal), "") << signal;
        EXPECT_EQ((std::set<std::string>{"done.txt", "earlier.xml.gz"}), namesIn(dir.path())) << signal;
        EXPECT_EQ("earlier, whole", testsupport::ReadBytes(dir.path("earlier.xml.gz"))) << signal;
    }
}

TEST(InterruptedRun, ASignalTheCallerIgnoresStaysIgnored) {
    GTEST_FLAG_SET(death_test_style, "fast");
    testsupport::TempDir dir;
    const auto ignoredRun = [&] {
        signal(SIGHUP, SIG_IGN);
        RemoveTemporariesOnInterruption();
        TOutputFile kept(dir.path("report.txt"));
        kept.Write("report");
        raise(SIGHUP);
        kept.Commit();
        std::_Exit(7);
    };
    EXPECT_EXIT(ignoredRun(), testing::ExitedWithCode(7), "");
    EXPECT_EQ("report", testsupport::ReadBytes(dir.path("report.txt")));
}

}  // namespace
