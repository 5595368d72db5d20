#include <gtest/gtest.h>

#include "source_severity.h"
#include "support/sample_container.h"

namespace {

TEST(SeverityOfCode, ReadsTheProcessorsCodesAndTheLogLevels) {
    const struct { const char* code; const char* severity; } cases[] = {
        {"2", "Error"}, {"69", "Error"}, {"E", "Error"}, {"e", "Error"}, {"Error", "Error"}, {" 2 ", "Error"},
        {"critical", "Error"}, {"1", "Warning"}, {"W", "Warning"}, {"87", "Warning"}, {"warning", "Warning"},
        {"0", "Info"}, {"73", "Info"}, {"Notice", "Info"}, {"Info", "Info"},
        // Nothing a source is known to write: no severity rather than a guess.
        {"3", ""}, {"22", ""}, {"", ""}, {"Errors", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(SeverityOfCode(c.code), c.severity) << c.code;
}

// Every text the Tolm decoders write, by event kind.
TEST(SeverityOfEventText, EachDecodedEventHasItsSeverity) {
    const struct { const char* text; const char* severity; } cases[] = {
        {"All fans present and functioning.", "Info"},
        {"Fan 3 missing. Fan 1 failed.", "Error"},
        {"All power supplies present and functioning.", "Info"},
        {"Power supply 2 missing. Power supply 2 Fault. ", "Error"},
        {"Power supply 2 has AC Power Removed.", "Warning"},
        {"All DASD backplanes and devices present and functioning.", "Info"},
        {"DASD backplane 1: device 1 missing. ", "Error"},
        {"All system board voltages within normal ranges. All VRMs present and functioning.", "Info"},
        {"System board voltages not in normal range. ", "Error"},
        {"VRM 1 failed", "Error"},
        {"Over temperature: CPU 1. Warning threshold reached", "Warning"},
        {"Over temperature: Rsrvd thermal trip", "Error"},
        {"Over temperature: Ambient, CPU Area. Server is powering off now", "Error"},
        {"System temperatures operating in normal range", "Info"},
        {"No voltage faults reported", "Info"},
        {"Voltage fault: Emergency Power, 5V A", "Error"},
        {"Server restarted:  POST watchdog timed out", "Warning"},
        {"SMI s-error, CPU 1 error", "Error"},
        {"Invalid configuration of microprocessors or VRMs, SMI RTC Update", "Error"},
        {"SMI RTC Update", "Info"},
        {"SMI ", "Info"},
        {"BIOS message: POST", "Info"},
        {"Invalid log entry.", "Info"},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(SeverityOfEventText(c.text), c.severity) << c.text;
}

TEST(SourceSeverity, EachSourceGivesItsOwn) {
    TContainer container;
    DeclareReportClasses(container);
    DeclarePartSourceClasses(container);
    const struct {
        const char* className;
        std::vector<std::pair<std::string, std::string> > values;
        const char* severity;
    } cases[] = {
        {"VARNSG_ULKLog", {{"Severity", "1"}, {"Message", "Fan 3 speed below warning threshold"}}, "Warning"},
        {"VARNSG_ULKLog", {{"Severity", "2"}, {"Message", "System power on"}}, "Error"},
        {"VARNSG_ULKLog", {{"Severity", "0"}, {"Message", "Fan 3 failed"}}, "Info"},   // the text is the rules' part
        {"VARNSG_ULKLog", {{"Message", "no severity"}}, ""},
        {"VARNSG_TRAVLog", {{"Message", "Power supply 2 has AC Power Removed."}}, "Warning"},
        {"VARNSG_OSEventLogRecord", {{"Severity", "Warning"}}, "Warning"},
        {"VARNSG_HardwareErrorRecord", {{"Severity", "Error"}, {"Kind", "Memory"}}, "Error"},
        {"VARNSG_SELRecord", {{"Severity", "Warning"}}, "Warning"},
        {"VARNSG_DiskHealth", {{"Assessment", "Failed"}}, "Error"},
        {"VARNSG_DiskHealth", {{"Assessment", "Passed"}}, "Info"},
        {"VARNSG_DiskHealth", {{"Assessment", "Unknown"}}, ""},
        {"VARNSG_OSKLogRecord", {{"Type", "0"}}, "Error"},
        {"VARNSG_OSKLogRecord", {{"Type", "3"}}, "Info"},
        {"VARNSG_HeavyHittersLogRecord", {{"Message", "x"}}, "Warning"},
        {"VARNSG_Processor", {{"DeviceID", "CPU0"}}, ""},   // no severity of its own
    };
    for (const auto& c : cases)
        EXPECT_EQ(SourceSeverity(*AddTestInstance(container, c.className, c.values)), c.severity) << c.className;
}

TEST(MoreSevere, ARuleRaisesNeverLowers) {
    const struct { const char* a; const char* b; const char* more; } cases[] = {
        {"Error", "Info", "Error"}, {"Info", "Warning", "Warning"}, {"Warning", "", "Warning"}, {"", "Info", "Info"},
        {"Warning", "Error", "Error"},
    };
    for (const auto& c : cases) EXPECT_EQ(MoreSevere(c.a, c.b), c.more) << c.a << " " << c.b;
}

}  // namespace
