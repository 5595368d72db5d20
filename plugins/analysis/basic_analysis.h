#ifndef NORBIX_BASIC_ANALYSIS_H
#define NORBIX_BASIC_ANALYSIS_H

#include <cstddef>

class TContainer;

// Adds a finding for every service-processor log entry that reports a failed or
// missing fan, power supply, DASD device or VRM, an over-temperature, a voltage
// fault or a watchdog restart; for every other entry of error or warning
// severity (as its source gives it) whose text reports no routine event; and
// for every heavy-hitters record. A finding the container already holds (a saved
// file analysed again) is not added twice. Returns the number added.
size_t RunBasicAnalysis(TContainer& container);

#endif
