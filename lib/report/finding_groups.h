#ifndef NORBIX_FINDING_GROUPS_H
#define NORBIX_FINDING_GROUPS_H

#include <cstddef>
#include <string>
#include <vector>

#include "severity.h"
#include "wyxcore/datetime.h"

class TContainer;

// Findings of one rule about one source and one message: a failing fan logged
// 2,000 times is one line to read, with how often and from when to when.
struct FindingGroup {
    std::string severity;      // "Error", "Warning", ...
    std::string category;      // the rule
    std::string description;
    std::string sourceClass;
    std::string message;       // the source entry's message
    size_t count = 0;
    bool hasTime = false;
    TCIMDateTime first, last;  // corrected time of the earliest and latest source entry
    std::string latestKey;     // "RecordID=.." of the latest source entry
};

// "rule: finding: message" without a piece the next one begins with: "Voltage fault: 12V A",
// not "Voltage: Voltage fault: Voltage fault: 12V A".
std::string FindingText(const std::string& category, const std::string& description, const std::string& message);

// Most severe first, then the most recent first.
std::vector<FindingGroup> GroupFindings(const TContainer& container);

#endif
