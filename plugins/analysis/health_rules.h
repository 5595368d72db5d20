#ifndef NORBIX_HEALTH_RULES_H
#define NORBIX_HEALTH_RULES_H

#include <vector>

#include "machine_rules.h"

// A DIMM with this many corrected errors or more is worth a warning.
const unsigned long long kCorrectedMemoryErrors = 10;

// What the hardware's own health counters say, one finding per part (the
// analysis keeps one per row and category), naming the part and at the
// gravest severity of its conditions: uncorrected memory errors on a DIMM
// (Error) and corrected ones at or over kCorrectedMemoryErrors (Warning), and
// the same for a controller's errors tied to no DIMM; a
// disk's failed SMART assessment, an NVMe critical warning or spare below its
// threshold (Error), bad or pending sectors, reported and media errors, wear
// at 100 % or more (Warning), the bits of smartctl's exit status its rows do
// not show (a pre-failure attribute at its threshold: Error; a failed command,
// an attribute failed in the past, errors in the device or self-test log:
// Warning); each SMART attribute failing now (Error); PCIe fatal (Error) and
// non-fatal (Warning) counts; each machine-check record (Error when
// uncorrected, else Warning).
void HealthFindings(const TContainer& container, std::vector<MachineFinding>& found);

#endif
