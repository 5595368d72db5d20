#ifndef HEALTH_HEALTH_FACTS_H
#define HEALTH_HEALTH_FACTS_H

#include <cstdint>
#include <string>
#include <vector>

// What the hardware counts about its own health, as its sources state it.
// A count that could not be read stays unknown, never zero.

struct Count {
    bool known = false;
    uint64_t value = 0;
};

struct MemoryCounterFacts {   // one DIMM or rank
    std::string source;
    std::string controller;   // "mc0"
    std::string label;
    std::string location;
    Count sizeMB;
    std::string memoryType;
    Count corrected, uncorrected;
};

struct MemoryControllerFacts {
    std::string source;
    std::string controller;
    std::string name;
    Count corrected, uncorrected, correctedNoInfo, uncorrectedNoInfo, secondsSinceReset;
};

struct PciErrorFacts {
    std::string source;
    std::string address;   // "0000:3b:00.0"
    std::string name;
    Count correctable, nonFatal, fatal;
    std::vector<std::string> counters;   // "NAME=COUNT"
};

struct SmartAttributeFacts {
    unsigned id = 0;
    std::string name;
    Count value, worst, threshold;
    std::string raw;
    std::string whenFailed;   // "now", "past" or empty
};

struct DiskHealthFacts {
    std::string source;
    std::string deviceId;
    std::string model, serialNumber, firmware;
    std::string protocol;     // "ATA", "NVMe", "SCSI"
    std::string assessment;   // "Passed", "Failed", "Unknown"
    bool temperatureKnown = false;
    int64_t temperature = 0;   // degrees Celsius
    Count powerOnHours;
    bool toolStatusKnown = false;
    unsigned toolStatus = 0;   // the tool's exit-status bits
    // ATA
    Count reallocated, pending, offlineUncorrectable, reportedUncorrectable, crcErrors;
    // NVMe
    Count criticalWarning, mediaErrors, percentageUsed, availableSpare, spareThreshold, unsafeShutdowns;
    // SCSI
    Count grownDefects, uncorrectedErrors;
    std::vector<SmartAttributeFacts> attributes;
};

struct HardwareErrorFacts {
    std::string source;
    std::string recordId;
    bool timeKnown = false;
    int64_t unixSeconds = 0;   // UTC
    std::string severity;      // "Error", "Warning", "Info"
    std::string kind;          // "Memory", "Machine check", "PCIe", "Disk", "Other"
    std::string component;
    std::string message;
};

// What one collection found, and what it could not read: notes are logged at
// Debug level (a source that is absent or a value skipped), problems at Error
// level (a source that is there but broken).
struct HealthFacts {
    std::vector<MemoryCounterFacts> dimms;
    std::vector<MemoryControllerFacts> controllers;
    std::vector<PciErrorFacts> pciDevices;
    std::vector<DiskHealthFacts> disks;
    std::vector<HardwareErrorFacts> records;
    std::vector<std::string> notes;
    std::vector<std::string> problems;
};

#endif
