// Windows: hardware errors from the System event log, disk health from smartctl, in its usual install folder or on the
// path, else from the drives' own control requests.
#include <windows.h>

#include "drive_requests.h"
#include "hardware_facts.h"
#include "health_source.h"
#include "smartctl_disks.h"
#include "whea_event.h"
#include "whea_log.h"

namespace health {

namespace {

// The 64-bit program folder first: a 32-bit process sees the x86 one as ProgramFiles.
std::string smartctlProgram() {
    for (const char* variable : {"ProgramW6432", "ProgramFiles"}) {
        char folder[MAX_PATH];
        const DWORD length = GetEnvironmentVariableA(variable, folder, MAX_PATH);
        if (length == 0 || length >= MAX_PATH) continue;
        const std::string path = std::string(folder) + "\\smartmontools\\bin\\smartctl.exe";
        const DWORD attributes = GetFileAttributesA(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return path;
    }
    return "smartctl";
}

}  // namespace

HealthFacts Collect() {
    HealthFacts facts;
    ReadWheaLog(facts);
    // The devices the hardware errors name, named as the inventory names them.
    if (!facts.pciDevices.empty()) {
        for (const PciFacts& named : hardware::PciDevices(facts.notes)) {
            const std::string address = PciAddressOfLocation(named.slot);
            for (PciErrorFacts& device : facts.pciDevices)
                if (!address.empty() && device.address == address) device.name = named.name;
        }
    }
    // Without smartctl, the drives' own failure prediction and NVMe health log.
    if (!ReadSmartctl(smartctlProgram(), facts)) ReadDrives(PhysicalDrives(), RequestDrive, facts);
    return facts;
}

}  // namespace health
