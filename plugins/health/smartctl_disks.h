#ifndef HEALTH_SMARTCTL_DISKS_H
#define HEALTH_SMARTCTL_DISKS_H

#include <string>

#include "health_facts.h"
#include "wyxcore/child_process.h"

namespace health {

const unsigned kSmartctlRunMillis = 10000;      // one device; a real one answers in about a second
const unsigned kSmartctlBudgetMillis = 20000;   // every device, inside the collector's own bound
const size_t kSmartctlOutputLimit = 8 << 20;    // -x of a disk with full logs is a few hundred KB
const size_t kSmartctlDiskLimit = 256;

using ChildRunner = TChildRun (*)(const std::string& program, const std::vector<std::string>& arguments,
                                  unsigned timeoutMillis, size_t outputLimit);

// Every disk that `smartctl --scan-open` finds, read with `smartctl -x`. False
// when the program cannot be started at all (the OS's own sources may then
// stand in); a device it cannot open is a note, a run that hangs, crashes,
// overflows or prints no JSON a problem naming the device.
bool ReadSmartctl(const std::string& program, HealthFacts& facts, ChildRunner run = RunChildProcess,
                  unsigned budgetMillis = kSmartctlBudgetMillis);

}  // namespace health

#endif
