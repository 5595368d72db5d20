#ifndef HEALTH_SMARTCTL_JSON_H
#define HEALTH_SMARTCTL_JSON_H

#include <string>
#include <vector>

#include "health_facts.h"

namespace health {

// smartctl's exit-status bits.
enum SmartctlStatus : unsigned {
    kSmartctlCommandLine = 1u << 0,     // the command line did not parse
    kSmartctlOpenFailed = 1u << 1,      // the device could not be opened (or is in a low-power mode)
    kSmartctlCommandFailed = 1u << 2,   // a command to the disk failed, or a reply's checksum was wrong
    kSmartctlDiskFailing = 1u << 3,     // the disk's own assessment: failing
    kSmartctlPrefailNow = 1u << 4,      // a pre-failure attribute at or below its threshold
    kSmartctlFailedInPast = 1u << 5,    // an attribute was at or below its threshold once
    kSmartctlErrorLog = 1u << 6,        // the device error log holds errors
    kSmartctlSelfTestLog = 1u << 7,     // the self-test log holds errors
};

// A device of the scan: what to pass to smartctl to read it.
struct SmartctlDevice {
    std::string name;       // "/dev/sda", "/dev/bus/0"
    std::string type;       // "sat", "nvme", "sat+megaraid,0"
    std::string infoName;   // "/dev/bus/0 [megaraid_disk_00] [SAT]"
};

// The devices of `smartctl --scan-open --json`; false (and a note) when the
// text is no JSON of that shape. Malformed entries are noted and skipped.
bool DecodeSmartctlScan(const std::string& text, std::vector<SmartctlDevice>* devices, std::vector<std::string>& notes);

// One device's `smartctl -x --json`, onto the disk (whose device is already
// set). False when the text is no JSON object; a member of the wrong type is
// noted and left unknown, and unknown members are ignored.
bool DecodeSmartctlDevice(const std::string& text, DiskHealthFacts& disk, std::vector<std::string>& notes);

// The exit status smartctl states inside its JSON; false when it states none.
bool SmartctlStatedStatus(const std::string& text, unsigned* status);

}  // namespace health

#endif
