// A helper program's run kept within its bounds, whatever the program does.
#include <gtest/gtest.h>

#include <chrono>

#include "wyxcore/child_process.h"

namespace {

TEST(ChildProcess, EveryWayAHelperCanEnd) {
    const struct {
        const char* what;
        std::string program;
        std::string script;
        TChildRun::Outcome outcome;
        int exitStatus;
        std::string output;
    } cases[] = {
        {"output and status kept", "/bin/sh", "printf 'a\\0b'; exit 3", TChildRun::kExited, 3, std::string("a\0b", 3)},
        {"killed by a signal", "/bin/sh", "printf x; kill -SEGV $$", TChildRun::kSignalled, 0, "x"},
        {"hangs: stopped at the time bound", "/bin/sh", "printf early; exec sleep 30", TChildRun::kTimedOut, 0,
         "early"},
        {"a grandchild that keeps the output open", "/bin/sh", "sleep 30 & exit 0", TChildRun::kTimedOut, 0, ""},
        {"prints without end: stopped at the output bound", "/bin/sh", "yes 0123456789", TChildRun::kOverflowed, 0,
         std::string()},
        {"no such program", "norbix-no-such-helper", "", TChildRun::kNotStarted, 0, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto start = std::chrono::steady_clock::now();
        const TChildRun run = RunChildProcess(c.program, {"-c", c.script}, 300, 100000);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
        EXPECT_EQ(c.outcome, run.outcome);
        EXPECT_EQ(c.exitStatus, run.exitStatus);
        if (c.outcome == TChildRun::kOverflowed) {
            EXPECT_EQ(100000u, run.output.size());
            EXPECT_EQ("0123456789\n0123456789\n", run.output.substr(0, 22));
        } else {
            EXPECT_EQ(c.output, run.output);
        }
        EXPECT_EQ(c.outcome == TChildRun::kSignalled ? 11 : 0, run.signal);
        EXPECT_EQ(c.outcome == TChildRun::kNotStarted, !run.error.empty());
    }
}

}  // namespace
