// Linux: EDAC and AER counters from sysfs (below WYX_SYSFS_ROOT when that is
// set), the RAS daemon's database, and disk health from smartctl on the path,
// else from the NVMe controllers themselves.
#include "edac_counters.h"
#include "hardware_facts.h"
#include "host_files.h"
#include "nvme_admin.h"
#include "health_source.h"
#include "pci_aer.h"
#include "ras_database.h"
#include "smartctl_disks.h"

namespace health {

HealthFacts Collect() {
    HealthFacts facts;
    ReadEdac(facts);
    ReadPciAer(hardware::PciDevices(facts.notes), facts);
    std::string database;
    if (hostfs::Resolve(kRasDatabase, &database))
        ReadRasDatabase(database, facts);
    else
        facts.notes.push_back("No RAS daemon database: hardware error records not read");
    // Without smartctl, NVMe disks still tell their health log.
    if (!ReadSmartctl("smartctl", facts)) ReadNvmeControllers(NvmeControllers(facts.notes), NvmeAdminHealthLog, facts);
    return facts;
}

}  // namespace health
