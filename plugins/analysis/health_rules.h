#ifndef NORBIX_HEALTH_RULES_H
#define NORBIX_HEALTH_RULES_H

#include <vector>

#include "machine_rules.h"

// A DIMM with this many corrected errors or more is worth a warning.
const unsigned long long kCorrectedMemoryErrors = 10;

// What the hardware's own health counters say, each finding naming the part:
// uncorrected memory errors on a DIMM (Error) and corrected ones at or over
// kCorrectedMemoryErrors (Warning); a disk's failed SMART assessment or an
// attribute failing now (Error), bad or pending sectors and reported errors
// (Warning), an NVMe critical warning or spare below its threshold (Error),
// media errors or wear at 100 % or more (Warning); PCIe fatal (Error) and
// non-fatal (Warning) counts; each machine-check record (Error when
// uncorrected, else Warning).
void HealthFindings(const TContainer& container, std::vector<MachineFinding>& found);

#endif
