#ifndef NORBIX_PARTS_H
#define NORBIX_PARTS_H

#include <cstddef>
#include <string>
#include <vector>

#include "part_names.h"
#include "timeline.h"
#include "wyxcore/datetime.h"

class TContainer;

// Most severe first: a part Failed or Degraded is failing; Unknown is a part
// no source reports the health of.
enum class Verdict { kFailed, kDegraded, kWarning, kUnknown, kOK };

// "Failed", "Degraded", "Warning", "Unknown", "OK".
const char* VerdictName(Verdict verdict);
bool VerdictIsFailing(Verdict verdict);

// One record or counter that speaks of a part.
struct PartEvidence {
    std::string className;
    size_t position = 0;      // in the class's enumeration: the row's anchor
    std::string severity;     // "Error", "Warning", "Info"; empty: it says nothing of health (inventory)
    std::string text;
    bool hasTime = false;
    bool timeTrusted = false; // within 1990 and a day after the collection
    TCIMDateTime at;
    bool recovery = false;    // reports the part back in order ("restored", a deassertion)
};

struct Part {
    PartKind kind = PartKind::kOther;
    std::string key, scheme;
    std::string name;                  // the first label a source gave
    std::vector<std::string> aliases;  // the other labels, each once
    Verdict verdict = Verdict::kUnknown;
    std::string reason;                // the text of the evidence that decided the verdict
    bool hasLatest = false;            // time of the latest evidence with a trusted time
    TCIMDateTime latest;
    std::vector<PartEvidence> evidence;
};

struct PartsReport {
    std::vector<Part> parts;   // most severe first, then most recent evidence first, then by kind and name
    size_t failing = 0, warnings = 0, ok = 0, unknown = 0;
    // Error and warning records of the part sources that name no part.
    size_t unplaced = 0;
};

// Every part the collection's sources name, with its verdict: from the
// service-processor logs, SEL, hardware-error records, OS log errors and
// warnings, sensors, disk health, memory and PCIe error counters and the
// inventory; whatever classes the collection holds. Findings of the analysis
// raise the severity of the record they name. now is the collection's time:
// evidence times after it (a day's grace) or before 1990 are not trusted.
PartsReport BuildParts(const TContainer& container, const FindingSeverities& severities, const TCIMDateTime& now);

// "3 parts failing, 2 with warnings"; "No part failing or with warnings".
std::string PartsHeadline(const PartsReport& report);

// A part as a reader names it: "Fan 3", "DIMM DIMM_A4" reads "DIMM_A4".
std::string PartTitle(const Part& part);

#endif
