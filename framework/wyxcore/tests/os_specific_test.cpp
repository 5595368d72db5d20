#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "expect_status.h"
#include "test_support.h"
#include "wyxcore/exception.h"
#include "wyxcore/os_specific.h"
#include "wyxcore/status.h"

namespace {

TEST(OSSpecific, DirExistsAndCreateDir) {
    testsupport::TempDir dir;
    const std::string sep = TOSSpecific::kFileSeparator;
    testsupport::WriteBytes(dir.path("file"), "x");
    EXPECT_TRUE(TOSSpecific::DirExists(dir.path()));
    EXPECT_FALSE(TOSSpecific::DirExists(dir.path("missing")));
    EXPECT_FALSE(TOSSpecific::DirExists(dir.path("file")));
    TOSSpecific::CreateDir(dir.path("made"));
    EXPECT_TRUE(TOSSpecific::DirExists(dir.path("made")));
    const struct {
        std::string path;
        int status;
    } failures[] = {
        {dir.path("made"), kWyxCreateDirFailed},                          // exists
        {dir.path("missing") + sep + "child", kWyxCreateDirFailed},       // one level only
    };
    for (const auto& f : failures) {
        EXPECT_STATUS(TOSSpecific::CreateDir(f.path), f.status) << f.path;
    }
}

TEST(OSSpecific, DirExistsRejectsNamesTheSystemRejects) {
    const std::string tooLong = testsupport::TempDir().path() + TOSSpecific::kFileSeparator + std::string(5000, 'a');
    for (const std::string& name : {std::string(), tooLong}) {
        EXPECT_STATUS(TOSSpecific::DirExists(name), kWyxInvalidDirectory)
            << "a name of " << name.size() << " characters";
    }
}

TEST(OSSpecific, LocalTimeIsAValidPoint) {
    const TCIMDateTime now = TOSSpecific::GetLocalTime();
    EXPECT_FALSE(now.IsInterval());
    EXPECT_GE(now.GetYear(), 2020);
    // A valid point survives its own DMTF text.
    EXPECT_EQ(now, TCIMDateTime::FromString(now.ToString()));
}

}  // namespace

namespace {

// Run by the end-to-end tests with NORBIX_PIPED_KEYS on standard input, which
// then ends: each byte is a key that waits until consumed, end of input no key.
TEST(Keyboard, PipedStandardInput) {
    const char* keys = std::getenv("NORBIX_PIPED_KEYS");
    if (!keys) GTEST_SKIP() << "needs NORBIX_PIPED_KEYS on standard input";
    for (const char* key = keys; *key; ++key) {
        // A reader thread may take a moment to fetch the byte after the one consumed.
        bool waiting = false;
        for (int i = 0; i < 200 && !waiting; ++i) {
            waiting = TOSSpecific::IsKeyWaiting();
            if (!waiting) TOSSpecific::USleep(10);
        }
        EXPECT_TRUE(waiting);
        EXPECT_TRUE(TOSSpecific::IsKeyWaiting());   // testing does not consume
        EXPECT_EQ(static_cast<unsigned char>(*key), TOSSpecific::GetKeyboardChar());
    }
    // End of input may take a moment to be seen by a reader thread.
    bool waiting = true;
    for (int i = 0; i < 50 && waiting; ++i) {
        waiting = TOSSpecific::IsKeyWaiting();
        if (waiting) break;
        TOSSpecific::USleep(10);
    }
    EXPECT_FALSE(waiting);
    EXPECT_EQ(-1, TOSSpecific::GetKeyboardChar());
}

}  // namespace
