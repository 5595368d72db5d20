#ifndef HEALTH_PCI_AER_H
#define HEALTH_PCI_AER_H

#include <string>
#include <vector>

#include "hardware_facts.h"
#include "health_facts.h"

namespace health {

// The PCIe AER counters of every device that has them (below WYX_SYSFS_ROOT
// when that is set), named from the inventory's PCI names where given.
void ReadPciAer(const std::vector<PciFacts>& names, HealthFacts& facts);

// One aer_dev_* file: "NAME COUNT" lines, the TOTAL_ERR_* line as the total.
// Malformed lines are noted and skipped.
struct AerCounters {
    Count total;
    std::vector<std::string> counters;   // "NAME=COUNT", the total excluded
};
AerCounters ParseAerCounters(const std::string& text, const std::string& where, std::vector<std::string>& notes);

}  // namespace health

#endif
