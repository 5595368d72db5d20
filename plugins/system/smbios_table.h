#ifndef SYSTEM_SMBIOS_TABLE_H
#define SYSTEM_SMBIOS_TABLE_H

#include <string>

#include "machine_facts.h"

namespace machine {

// The system-information structure (type 1) of a raw SMBIOS table as the
// firmware-table call returns it (an 8-byte header, then the structures).
// Fields that are missing or lie beyond the data are empty.
MachineIdentity ParseSmbios(const std::string& raw);

}  // namespace machine

#endif
