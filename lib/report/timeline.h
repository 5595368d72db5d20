#ifndef NORBIX_TIMELINE_H
#define NORBIX_TIMELINE_H

#include <cstddef>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "wyxcore/datetime.h"

class TContainer;

// One time-stamped record of the collection.
struct TimelineEntry {
    TCIMDateTime at;             // corrected time, as recorded
    std::string ownTime;         // the recording clock's own reading, where it differs
    std::string source;          // "ULK Node 1: SP A", "TRAV", "Run log: quarnel", ...
    std::string severity;
    std::string message;
    std::string className;
    size_t position = 0;         // in the class's enumeration: the row's anchor
};

// Severity of a source entry by what the analysis found about it:
// (class, "RecordID=..") to the most severe finding.
using FindingSeverities = std::map<std::pair<std::string, std::string>, std::string>;
FindingSeverities SeveritiesOfFindings(const TContainer& container);

// Every time-stamped record of the classes the timeline knows, in order of
// instant (UTC); records of equal instant keep their class's order.
std::vector<TimelineEntry> BuildTimeline(const TContainer& container, const FindingSeverities& severities);

// The source label, severity and message of an instance of a timeline class;
// false for a class the timeline does not know.
bool DescribeRecord(const class TCIMInstance& instance, const FindingSeverities& severities, TimelineEntry* entry);

#endif
