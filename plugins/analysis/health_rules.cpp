#include "health_rules.h"

#include <cstdlib>
#include <map>

#include "wyxcore/container.h"

namespace {

std::string textOf(const TCIMInstance& instance, const char* name) {
    const TCIMValue* value = instance.GetPropertyValue(name);
    return value ? value->GetText() : std::string();
}

// A count the row holds; 0 when it holds none.
unsigned long long countOf(const TCIMInstance& instance, const char* name) {
    const std::string text = textOf(instance, name);
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) return 0;
    return std::strtoull(text.c_str(), nullptr, 10);
}

bool has(const TCIMInstance& instance, const char* name) { return !textOf(instance, name).empty(); }

std::vector<const TCIMInstance*> rowsOf(const TContainer& container, const char* className) {
    const TCIMClass* cimClass = container.FindClass(className);
    if (!cimClass) return {};
    const std::vector<TCIMInstance*> rows = cimClass->EnumerateInstances(true);
    return std::vector<const TCIMInstance*>(rows.begin(), rows.end());
}

std::string plural(unsigned long long n, const std::string& what) {
    return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
}

void memoryRules(const TContainer& container, std::vector<MachineFinding>& found) {
    std::map<std::string, unsigned long long> resetSeconds;
    for (const TCIMInstance* mc : rowsOf(container, "VARNSG_MemoryControllerErrors"))
        if (has(*mc, "SecondsSinceReset")) resetSeconds[textOf(*mc, "Controller")] = countOf(*mc, "SecondsSinceReset");
    for (const TCIMInstance* dimm : rowsOf(container, "VARNSG_MemoryErrorCounter")) {
        const std::string controller = textOf(*dimm, "Controller"), label = textOf(*dimm, "Label");
        const std::string part = "DIMM " + label + (controller.empty() ? "" : " (" + controller + ")");
        const std::string key = "Controller=" + controller + ", Label=" + label;
        const unsigned long long uncorrected = countOf(*dimm, "UncorrectedCount");
        const unsigned long long corrected = countOf(*dimm, "CorrectedCount");
        if (uncorrected > 0)
            found.push_back({dimm, key, "Memory", "Error", part + ": " + plural(uncorrected, "uncorrected memory error")});
        if (corrected >= kCorrectedMemoryErrors) {
            const auto window = resetSeconds.find(controller);
            const std::string within =
                window == resetSeconds.end()
                    ? std::string()
                    : " in " + plural(window->second / 3600, "hour") + " since the counters were reset";
            found.push_back(
                {dimm, key, "Memory", "Warning", part + ": " + plural(corrected, "corrected memory error") + within});
        }
    }
}

std::string nvmeWarnings(unsigned long long bits) {
    static const char* const kBits[] = {"spare below threshold", "temperature", "reliability degraded",
                                        "read-only", "volatile memory backup failed"};
    std::string out;
    for (unsigned i = 0; i < 5; ++i)
        if (bits & (1u << i)) out += std::string(out.empty() ? "" : ", ") + kBits[i];
    return out.empty() ? "unknown" : out;
}

void diskRules(const TContainer& container, std::vector<MachineFinding>& found) {
    std::map<std::string, std::string> partOf;
    for (const TCIMInstance* disk : rowsOf(container, "VARNSG_DiskHealth")) {
        const std::string id = textOf(*disk, "DeviceID");
        const std::string serial = textOf(*disk, "SerialNumber");
        const std::string part = "Disk " + (has(*disk, "Model") ? textOf(*disk, "Model") : id) + " (" +
                                 (serial.empty() ? "" : "serial " + serial + ", ") + id + ")";
        partOf[id] = part;
        const std::string key = "DeviceID=" + id;
        if (textOf(*disk, "Assessment") == "Failed")
            found.push_back({disk, key, "Disk", "Error", part + ": SMART overall assessment failed"});
        std::string sectors;
        const struct {
            const char* property;
            const char* what;
        } counters[] = {{"ReallocatedSectors", "reallocated sector"},
                        {"PendingSectors", "pending sector"},
                        {"OfflineUncorrectable", "offline-uncorrectable sector"},
                        {"ReportedUncorrectable", "reported uncorrectable error"},
                        {"MediaErrors", "media error"},
                        {"GrownDefects", "grown defect"},
                        {"UncorrectedErrors", "uncorrected error"}};
        for (const auto& counter : counters) {
            const unsigned long long n = countOf(*disk, counter.property);
            if (n > 0) sectors += (sectors.empty() ? "" : ", ") + plural(n, counter.what);
        }
        if (!sectors.empty()) found.push_back({disk, key, "Disk", "Warning", part + ": " + sectors});
        const unsigned long long critical = countOf(*disk, "CriticalWarning");
        if (critical != 0)
            found.push_back({disk, key, "Disk", "Error", part + ": NVMe critical warning (" + nvmeWarnings(critical) + ")"});
        if (has(*disk, "AvailableSpare") && has(*disk, "AvailableSpareThreshold") &&
            countOf(*disk, "AvailableSpare") < countOf(*disk, "AvailableSpareThreshold"))
            found.push_back({disk, key, "Disk", "Error",
                             part + ": available spare " + textOf(*disk, "AvailableSpare") + " % below its threshold " +
                                 textOf(*disk, "AvailableSpareThreshold") + " %"});
        if (countOf(*disk, "PercentageUsed") >= 100)
            found.push_back({disk, key, "Disk", "Warning",
                             part + ": " + textOf(*disk, "PercentageUsed") + " % of its rated life used"});
    }
    for (const TCIMInstance* attribute : rowsOf(container, "VARNSG_DiskSMARTAttribute")) {
        if (textOf(*attribute, "WhenFailed") != "now") continue;
        const std::string id = textOf(*attribute, "DeviceID");
        const auto part = partOf.find(id);
        found.push_back({attribute, "DeviceID=" + id + ", AttributeID=" + textOf(*attribute, "AttributeID"), "Disk",
                         "Error",
                         (part == partOf.end() ? "Disk " + id : part->second) + ": SMART attribute " +
                             textOf(*attribute, "AttributeID") + " " + textOf(*attribute, "Name") +
                             " failing now (value " + textOf(*attribute, "Value") + ", threshold " +
                             textOf(*attribute, "Threshold") + ")"});
    }
}

void pciRules(const TContainer& container, std::vector<MachineFinding>& found) {
    for (const TCIMInstance* device : rowsOf(container, "VARNSG_PCIErrorCounter")) {
        const std::string address = textOf(*device, "Address"), name = textOf(*device, "Name");
        const std::string part = "PCIe device " + address + (name.empty() ? "" : " (" + name + ")");
        const std::string key = "Address=" + address;
        if (const unsigned long long n = countOf(*device, "FatalCount"))
            found.push_back({device, key, "PCIe", "Error", part + ": " + plural(n, "fatal error")});
        if (const unsigned long long n = countOf(*device, "NonFatalCount"))
            found.push_back({device, key, "PCIe", "Warning", part + ": " + plural(n, "non-fatal error")});
    }
}

void machineCheckRules(const TContainer& container, std::vector<MachineFinding>& found) {
    for (const TCIMInstance* record : rowsOf(container, "VARNSG_HardwareErrorRecord")) {
        if (textOf(*record, "Kind") != "Machine check") continue;
        const std::string component = textOf(*record, "Component");
        found.push_back({record, "RecordID=" + textOf(*record, "RecordID"), "Machine check",
                         textOf(*record, "Severity") == "Error" ? "Error" : "Warning",
                         "Machine check" + (component.empty() ? std::string() : " on " + component) + ": " +
                             textOf(*record, "Message")});
    }
}

}  // namespace

void HealthFindings(const TContainer& container, std::vector<MachineFinding>& found) {
    memoryRules(container, found);
    diskRules(container, found);
    pciRules(container, found);
    machineCheckRules(container, found);
}
