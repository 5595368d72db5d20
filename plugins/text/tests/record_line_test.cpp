#include <gtest/gtest.h>

#include "record_line.h"

namespace {

TEST(RecordLine, OneLineWhateverTheValues) {
    const struct { const char* time; const char* source; const char* severity; const char* message; const char* more;
                   const char* line; } cases[] = {
        {"2026-12-08 05:31:07 (UTC+01:00)", "ULK Node 1", "Error", "Fan 2 failed", "",
         "2026-12-08 05:31:07 (UTC+01:00) | ULK Node 1 | Error | Fan 2 failed\n"},
        // A missing time keeps the column, so the sources line up.
        {"", "TRAV", "Info", "x", "RecordID=3",
         "-                               | TRAV | Info | x | RecordID=3\n"},
        // Line breaks and tabs inside a value cannot start another line.
        {"t", "s\nx", "Warn\ring", "over warning\tthreshold\nreached", "a\nb",
         "t                               | s\\nx | Warn\\ring | over warning\\tthreshold\\nreached | a\\nb\n"},
        // A long message stays whole: grep finds it.
        {"t", "s", "e", "The difference between the System clock and SP clock is greater than 24 hours.", "",
         "t                               | s | e | The difference between the System clock and SP clock is greater "
         "than 24 hours.\n"},
    };
    for (const auto& c : cases) EXPECT_EQ(RecordLine(c.time, c.source, c.severity, c.message, c.more), c.line);
}

}  // namespace
