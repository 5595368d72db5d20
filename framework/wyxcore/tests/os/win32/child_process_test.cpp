// A helper program's run kept within its bounds: this test binary runs itself
// as the helper, told by NORBIX_CHILD_MODE what to do.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "wyxcore/child_process.h"

namespace {

// Runs before the tests: as a helper, this process does its part and ends.
const int kHelper = [] {
    const char* mode = std::getenv("NORBIX_CHILD_MODE");
    if (!mode) return 0;
    const std::string what = mode;
    if (what == "print") {
        std::fwrite("a\0b", 1, 3, stdout);
        std::fflush(stdout);
        ExitProcess(3);
    }
    if (what == "hang") {
        std::fputs("early", stdout);
        std::fflush(stdout);
        Sleep(60000);
    }
    if (what == "flood")
        for (;;) std::fputs("0123456789\n", stdout);
    if (what == "crash") RaiseException(EXCEPTION_ACCESS_VIOLATION, EXCEPTION_NONCONTINUABLE, 0, nullptr);
    ExitProcess(0);
}();

std::string self() {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

TEST(ChildProcess, EveryWayAHelperCanEnd) {
    const struct {
        const char* mode;
        unsigned timeoutMillis;   // Wine's debugger takes seconds to report a crash
        TChildRun::Outcome outcome;
        int exitStatus;
        std::string output;
    } cases[] = {
        {"print", 3000, TChildRun::kExited, 3, std::string("a\0b", 3)},
        {"crash", 30000, TChildRun::kSignalled, 0, ""},
        {"hang", 3000, TChildRun::kTimedOut, 0, "early"},
        {"flood", 3000, TChildRun::kOverflowed, 0, ""},
    };
    (void)kHelper;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        SetEnvironmentVariableA("NORBIX_CHILD_MODE", c.mode);
        const auto start = std::chrono::steady_clock::now();
        const TChildRun run = RunChildProcess(self(), {"--gtest_filter=-*"}, c.timeoutMillis, 100000);
        SetEnvironmentVariableA("NORBIX_CHILD_MODE", nullptr);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(40));
        EXPECT_EQ(c.outcome, run.outcome) << run.error;
        EXPECT_EQ(c.exitStatus, run.exitStatus);
        // Wine's debugger reports a crash on the child's output; what a crashed
        // run printed is never decoded.
        if (c.outcome == TChildRun::kOverflowed) {
            EXPECT_EQ(100000u, run.output.size());
        } else if (c.outcome != TChildRun::kSignalled) {
            EXPECT_EQ(c.output, run.output);
        }
        EXPECT_EQ(c.outcome == TChildRun::kSignalled ? static_cast<int>(0xC0000005) : 0, run.signal);
    }
    const TChildRun missing = RunChildProcess("norbix-no-such-helper", {}, 1000, 100);
    EXPECT_EQ(TChildRun::kNotStarted, missing.outcome);
    EXPECT_FALSE(missing.error.empty());
}

}  // namespace
