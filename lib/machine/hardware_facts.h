#ifndef MACHINE_HARDWARE_FACTS_H
#define MACHINE_HARDWARE_FACTS_H

#include <cstdint>
#include <string>
#include <vector>

#include "smbios_table.h"

// What the operating system tells about the machine's parts. Empty texts and
// unknown numbers could not be read.
struct ProcessorFacts {
    std::string deviceId;
    std::string model;
    std::string manufacturer;
    unsigned cores = 0;
    unsigned threads = 0;
    unsigned clockMHz = 0;
};

struct MemoryFacts {
    bool totalKnown = false;
    uint64_t totalBytes = 0;
    std::vector<MemoryModule> modules;
};

struct DiskFacts {
    std::string deviceId;
    std::string model;
    std::string serialNumber;
    std::string firmwareRevision;
    std::string bus;
    std::string state;             // as the OS reports it ("running", "offline", ...)
    bool sizeKnown = false;
    uint64_t sizeBytes = 0;
};

struct AdapterFacts {
    std::string name;
    std::string description;
    std::string macAddress;
    std::string state;             // "up", "down", ...
    std::string driver;
    std::string driverVersion;
    bool speedKnown = false;
    uint64_t speedBitsPerSecond = 0;
};

struct PciFacts {
    std::string slot;
    std::string vendorId;
    std::string deviceId;
    std::string subsystemId;
    std::string classCode;
    std::string manufacturer;
    std::string name;
    std::string driver;
};

// A loaded driver or kernel module that states its version.
struct DriverFacts {
    std::string name;
    std::string version;
    std::string manufacturer;
    std::string releaseDate;     // as the system states it
    std::string description;
};

// Where a source is missing (no SMBIOS table in a virtual machine, no sysfs),
// a note says so; the collectors log the notes at Debug level.
using Notes = std::vector<std::string>;

namespace hardware {

std::vector<ProcessorFacts> Processors(Notes& notes);
MemoryFacts Memory(Notes& notes);
std::vector<DiskFacts> Disks(Notes& notes);
std::vector<AdapterFacts> Adapters(Notes& notes);
std::vector<PciFacts> PciDevices(Notes& notes);
std::vector<DriverFacts> Drivers(Notes& notes);
// The firmware's SMBIOS structures; empty facts (and a note) when there are none.
SmbiosFacts Firmware(Notes& notes);

}  // namespace hardware

#endif
