#include <gtest/gtest.h>

#include "message_rules.h"

namespace {

std::string summary(const std::vector<MessageFinding>& found) {
    std::string out;
    for (const MessageFinding& f : found) out += (out.empty() ? "" : "; ") + f.category + "/" + f.severity;
    return out;
}

TEST(ClassifyMessage, ServiceProcessorMessagesGiveTheirFindings) {
    const struct { const char* message; const char* findings; } cases[] = {
        // Decoded TRAV events that report trouble.
        {"Fan 3 missing. Fan 1 failed.", "Fan/Error"},
        {"Fans 1, 2 missing. ", "Fan/Error"},
        {"Power supply 2 missing. Power supply 2 Fault. ", "Power supply/Error"},
        {"Power supply 2 has AC Power Removed.", "Power supply/Warning"},
        {"DASD backplane 1: device 1 missing. ", "DASD/Error"},
        {"DASD backplane 2: devices 12, 13 failed.", "DASD/Error"},
        {"VRMs on CPU 1, CPU 2 failed", "VRM/Error"},
        {"VRM 1 failed", "VRM/Error"},
        {"System board voltages not in normal range. VRM on CPU 1 failed", "VRM/Error; Voltage/Error"},
        {"Over temperature: CPU 1. Warning threshold reached", "Temperature/Warning"},
        {"Over temperature: Rsrvd thermal trip", "Temperature/Error"},
        {"Over temperature: DASD 1. Shutting down O/S and powering off server", "Temperature/Error"},
        {"Voltage fault: Emergency Power, 5V A", "Voltage/Error"},
        {"Server restarted:  POST watchdog timed out", "Watchdog/Warning"},
        {"Server restarted:  Unknown Watchdog Triggered.", "Watchdog/Warning"},
        // Free text of a ULK processor.
        {"FAN 4 FAILURE DETECTED", "Fan/Error"},
        // Messages that report everything in order.
        {"All fans present and functioning.", ""},
        {"All power supplies present and functioning.", ""},
        {"All DASD backplanes and devices present and functioning.", ""},
        {"All system board voltages within normal ranges. All VRMs present and functioning.", ""},
        {"System temperatures operating in normal range", ""},
        {"No voltage faults reported", ""},
        {"SMI s-error", ""},
        {"BIOS message: POST", ""},
        {"", ""},
        // Words that merely contain a keyword.
        {"Infant mortality test failed", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(summary(ClassifyMessage(c.message)), c.findings) << c.message;
}

TEST(ClassifyEntry, TheSourceSeverityCountsWhereTheTextNamesNothingAndIsNeverLowered) {
    const struct { const char* message; const char* severity; const char* findings; } cases[] = {
        {"Fan 2 failed", "Error", "Fan/Error"},                      // the text decides
        {"Fan 2 failed", "Info", "Fan/Error"},
        {"Unknown event 0x42", "Error", "Service processor/Error"},  // nothing known of the text: the source
        {"Unknown event 0x42", "Warning", "Service processor/Warning"},
        {"Unknown event 0x42", "Info", ""},
        {"Unknown event 0x42", "", ""},
        {"System power on", "Error", ""},                            // routine events the processor marks as errors
        {"System log cleared", "Error", ""},
        {"SYSTEM POWERED OFF", "Warning", ""},
        {"Fan 2 recovered", "Error", ""},
        {"Remote login failed", "Error", "Service processor/Error"}, // a failure is no routine event
        {"Power on self test error", "Error", "Service processor/Error"},
        // A rule's Warning under a source's Error stays an Error.
        {"Over temperature: CPU 1. Warning threshold reached", "Error", "Temperature/Error"},
        // The example's warnings.
        {"Fan 3 speed below warning threshold (2100 RPM)", "Warning", "Service processor/Warning"},
        {"Temperature CPU 2 over warning threshold (86 C)", "Warning", "Temperature/Warning"},
        {"Temperature CPU 2 back to normal (71 C)", "Info", ""},
        {"RAID controller battery charge low (28%)", "Warning", "Service processor/Warning"},
        {"Power supply 1 AC lost", "Error", "Power supply/Error"},
        {"Uncorrectable ECC error, DIMM 4 disabled", "Error", "Memory/Error"},
        {"Disk 5 predictive failure, replace the drive", "Error", "Disk/Error"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(summary(ClassifyEntry(c.message, c.severity)), c.findings) << c.message << " / " << c.severity;
}

}  // namespace
