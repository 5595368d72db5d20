#ifndef SYSTEM_MACHINE_FACTS_H
#define SYSTEM_MACHINE_FACTS_H

#include <string>

#include "smbios_table.h"
#include "wyxcore/datetime.h"

// What the operating system tells about the machine. An empty text means the
// value could not be read.

struct OperatingSystemFacts {
    std::string name;
    std::string version;
    bool bootTimeKnown = false;
    TCIMDateTime bootTime;
};

namespace machine {

std::string HostName();
// The firmware's system information (SMBIOS); empty fields when unreadable.
MachineIdentity FirmwareIdentity();
OperatingSystemFacts OperatingSystem();

// WYX_DMI_DIR when set, else the firmware: sys_vendor, product_name and
// product_serial, each trimmed of surrounding white space.
MachineIdentity Identity();
// The identity files of one folder.
MachineIdentity IdentityFromDirectory(const std::string& directory);

}  // namespace machine

#endif
