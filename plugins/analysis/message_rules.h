#ifndef NORBIX_MESSAGE_RULES_H
#define NORBIX_MESSAGE_RULES_H

#include <string>
#include <vector>

// What a log entry reports that needs attention.
struct MessageFinding {
    std::string category;      // "Fan", "Power supply", "Memory", "Disk", "DASD", "VRM", "Temperature",
                               // "Voltage", "Watchdog", "Service processor"
    std::string severity;      // "Error" or "Warning"
    std::string description;
};

// The findings of one service-processor message by its text, at most one per
// category, in the order of the categories above. Messages that report
// everything in order ("All fans present and functioning.") give none.
// Matching ignores case.
std::vector<MessageFinding> ClassifyMessage(const std::string& message);

// The findings of one service-processor log entry, given the severity its
// source gave it ("Error", "Warning", "Info" or empty, see SourceSeverity):
// those of its text, never less severe than the source; when its text names
// nothing, an Error or Warning finding for an entry the source marks so, unless
// its text reports a routine event (power on, log cleared, a recovery).
std::vector<MessageFinding> ClassifyEntry(const std::string& message, const std::string& sourceSeverity);

#endif
