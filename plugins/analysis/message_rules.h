#ifndef NORBIX_MESSAGE_RULES_H
#define NORBIX_MESSAGE_RULES_H

#include <string>
#include <vector>

// What a log entry reports that needs attention.
struct MessageFinding {
    std::string category;      // "Fan", "Power supply", "DASD", "VRM", "Temperature", "Voltage", "Watchdog",
                               // "Service processor"
    std::string severity;      // "Error" or "Warning"
    std::string description;
};

// The findings of one service-processor message by its text, at most one per
// category, in the order of the categories above. Messages that report
// everything in order ("All fans present and functioning.") give none.
// Matching ignores case.
std::vector<MessageFinding> ClassifyMessage(const std::string& message);

// The findings of one service-processor log entry: those of its text; when its
// text names nothing, an Error for an entry the processor marks as an error,
// unless its text reports a routine event (power on, log cleared, a recovery).
std::vector<MessageFinding> ClassifyEntry(const std::string& message, const std::string& severity);

// True for a service-processor entry severity that means an error: the
// processor's code 2, the letter E (as text or as its byte value 69), or "Error".
bool IsErrorSeverity(const std::string& severity);

#endif
