#ifndef HEALTH_EDAC_COUNTERS_H
#define HEALTH_EDAC_COUNTERS_H

#include "health_facts.h"

namespace health {

// A server has a few dozen DIMMs; far more is a broken tree.
const size_t kDimmLimit = 4096;

// The memory controllers of the kernel's EDAC class (below WYX_SYSFS_ROOT when
// that is set): their totals, and one counter per DIMM (the dimm*/rank*
// layout) or per channel of a chip-select row (the older csrow* layout).
void ReadEdac(HealthFacts& facts);

}  // namespace health

#endif
