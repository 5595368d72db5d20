// The decoders of what the health sources print: smartctl's JSON (a device and
// a scan), AER counter files and counts. Any input ends in facts or notes.
#include <cstddef>
#include <cstdint>
#include <string>

#include "counter_text.h"
#include "pci_aer.h"
#include "smartctl_json.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> notes;
    DiskHealthFacts disk;
    disk.deviceId = "/dev/fuzz";
    health::DecodeSmartctlDevice(text, disk, notes);
    std::vector<health::SmartctlDevice> devices;
    health::DecodeSmartctlScan(text, &devices, notes);
    health::ParseAerCounters(text, "aer", notes);
    health::CountOf(text, health::kCounterLimit, "count", notes);
    return 0;
}
