#ifndef SEL_SEL_INSTANCES_H
#define SEL_SEL_INSTANCES_H

#include <string>
#include <utility>
#include <vector>

#include "sel_clock.h"
#include "sel_reader.h"

class TContainer;

namespace sel {

extern const char kRecordClass[];     // "VARNSG_SELRecord"
extern const char kInfoClass[];       // "VARNSG_SELInfo"
extern const char kSource[];          // "ipmi"

// Run-log lines, (type, text), in order.
using LogLines = std::vector<std::pair<int, std::string> >;

// Adds what one read found: the controller's firmware identity, the log's
// info and its records, each record's stamp corrected by clock. Returns the
// lines for the run log: the correction, then each problem of the read.
LogLines AddSelInstances(TContainer& container, const SelReadResult& read, const SelClock& clock);

}  // namespace sel

#endif
