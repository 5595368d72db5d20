#include <gtest/gtest.h>

#include "fleet_command_line.h"
#include "fleet_error.h"

namespace {

struct LineCase {
    const char* name;
    std::vector<std::string> args;
    int status;              // kFleetDone when the line is accepted
    const char* reason;      // the usage message, or the command accepted
};

class FleetCommandLineTable : public testing::TestWithParam<LineCase> {};

TEST_P(FleetCommandLineTable, AcceptsOrRefusesWithReason) {
    const LineCase& c = GetParam();
    try {
        const FleetCommandLine line = ParseFleetCommandLine(c.args);
        EXPECT_EQ(c.status, kFleetDone);
        EXPECT_EQ(line.help ? std::string("help") : line.command, c.reason);
    } catch (const FleetError& e) {
        EXPECT_EQ(e.status(), c.status);
        EXPECT_STREQ(e.what(), c.reason);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, FleetCommandLineTable,
    testing::Values(LineCase{"nothing", {}, kFleetUsage, "no command given"},
                    LineCase{"help_anywhere", {"compare", "--help"}, kFleetDone, "help"},
                    LineCase{"compare", {"compare", "a.xml", "b.xml.gz"}, kFleetDone, "compare"},
                    LineCase{"compare_one", {"compare", "a.xml"}, kFleetUsage,
                             "compare takes two collections, OLD and NEW"},
                    LineCase{"unknown_command", {"merge"}, kFleetUsage, "unknown command merge"},
                    LineCase{"unknown_option", {"report", "--fast"}, kFleetUsage, "unknown option --fast"},
                    LineCase{"option_without_value", {"report", "--store"}, kFleetUsage,
                             "option --store needs a value"},
                    LineCase{"empty_value", {"report", "--out="}, kFleetUsage, "option --out needs a value"},
                    LineCase{"flag_with_value", {"report", "--force=1"}, kFleetUsage, "unknown option --force=1"},
                    LineCase{"ingest_none", {"ingest"}, kFleetUsage, "ingest takes one collection or more"},
                    LineCase{"wait_not_a_number", {"ingest", "--wait", "1s", "a"}, kFleetUsage,
                             "option --wait takes a number of seconds"},
                    LineCase{"wait_too_long", {"ingest", "--wait=999999", "a"}, kFleetUsage,
                             "option --wait takes a number of seconds"},
                    LineCase{"query_two", {"query", "a", "b"}, kFleetUsage, "query takes one SQL statement"},
                    // After "--" a name that starts with dashes is a file.
                    LineCase{"dashes_end_options", {"ingest", "--", "--odd.xml"}, kFleetDone, "ingest"}),
    [](const testing::TestParamInfo<LineCase>& info) { return std::string(info.param.name); });

TEST(FleetCommandLineValues, OptionsInBothForms) {
    const FleetCommandLine line =
        ParseFleetCommandLine({"--store=postgresql:///fleet", "compare", "--out", "dir", "--force", "a", "b"});
    EXPECT_EQ(line.store, "postgresql:///fleet");
    EXPECT_EQ(line.outDir, "dir");
    EXPECT_TRUE(line.force);
    EXPECT_EQ(line.operands, (std::vector<std::string>{"a", "b"}));
}

}  // namespace
