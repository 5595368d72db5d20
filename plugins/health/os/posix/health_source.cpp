// Linux: EDAC and AER counters from sysfs (below WYX_SYSFS_ROOT when that is set).
#include "edac_counters.h"
#include "hardware_facts.h"
#include "health_source.h"
#include "pci_aer.h"

namespace health {

HealthFacts Collect() {
    HealthFacts facts;
    ReadEdac(facts);
    ReadPciAer(hardware::PciDevices(facts.notes), facts);
    return facts;
}

}  // namespace health
