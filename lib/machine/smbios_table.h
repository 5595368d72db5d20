#ifndef MACHINE_SMBIOS_TABLE_H
#define MACHINE_SMBIOS_TABLE_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The machine's identity as the firmware states it. An empty text means the
// value could not be read.
struct MachineIdentity {
    std::string manufacturer;
    std::string model;
    std::string serialNumber;
};

struct BiosFacts {
    std::string vendor;
    std::string version;
    std::string releaseDate;
};

// A memory device (type 17) with a module installed.
struct MemoryModule {
    std::string slot;              // device locator
    std::string bank;              // bank locator
    std::string manufacturer;
    std::string serialNumber;
    std::string partNumber;
    uint64_t sizeBytes = 0;
    unsigned speedMHz = 0;         // 0: unknown
};

struct SmbiosFacts {
    MachineIdentity identity;      // type 1
    BiosFacts bios;                // type 0
    std::vector<MemoryModule> modules;
    bool modulesCut = false;       // more than kModuleLimit installed
};

namespace machine {

// The largest machines have a few hundred memory slots.
const size_t kModuleLimit = 1024;

// The structures of an SMBIOS table as the kernel exports it (no header).
// Whatever lies beyond the data or past a malformed structure is left out.
SmbiosFacts ParseSmbiosStructures(const unsigned char* data, size_t size);

// A raw table as the firmware-table call returns it: an 8-byte header (its
// last four bytes the table's length), then the structures.
SmbiosFacts ParseSmbiosFirmwareTable(const std::string& raw);

// The system-information structure (type 1) of such a raw table.
MachineIdentity ParseSmbios(const std::string& raw);

}  // namespace machine

#endif
