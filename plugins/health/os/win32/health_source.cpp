// Windows: hardware errors from the System event log, disk health from smartctl, in its usual install folder or on the
// path, else from the drives' own control requests.
#include <windows.h>

#include "drive_requests.h"
#include "health_source.h"
#include "smartctl_disks.h"
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
    // Without smartctl, the drives' own failure prediction and NVMe health log.
    if (!ReadSmartctl(smartctlProgram(), facts)) ReadDrives(PhysicalDrives(), RequestDrive, facts);
    return facts;
}

}  // namespace health
