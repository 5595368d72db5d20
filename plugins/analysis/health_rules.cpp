#include "health_rules.h"

#include <cstdlib>
#include <map>
#include <set>

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

// What one row shows: the analysis keeps one finding per row and category, so
// every condition of a part goes into its one finding, at the gravest severity.
class PartFinding {
public:
    void Add(bool error, const std::string& what) {
        error_ |= error;
        said_ += (said_.empty() ? "" : "; ") + what;
    }
    void Emit(const TCIMInstance* row, const std::string& key, const char* category, const std::string& part,
              std::vector<MachineFinding>& found) const {
        if (!said_.empty()) found.push_back({row, key, category, error_ ? "Error" : "Warning", part + ": " + said_});
    }

private:
    bool error_ = false;
    std::string said_;
};

void memoryRules(const TContainer& container, std::vector<MachineFinding>& found) {
    std::map<std::string, unsigned long long> resetSeconds;
    for (const TCIMInstance* mc : rowsOf(container, "VARNSG_MemoryControllerErrors")) {
        const std::string controller = textOf(*mc, "Controller"), name = textOf(*mc, "Name");
        if (has(*mc, "SecondsSinceReset")) resetSeconds[controller] = countOf(*mc, "SecondsSinceReset");
        // Errors the controller could not tie to a DIMM name no part but the controller.
        PartFinding finding;
        if (const unsigned long long n = countOf(*mc, "UncorrectedNoInfoCount"))
            finding.Add(true, plural(n, "uncorrected memory error") + " not tied to a DIMM");
        const unsigned long long corrected = countOf(*mc, "CorrectedNoInfoCount");
        if (corrected >= kCorrectedMemoryErrors)
            finding.Add(false, plural(corrected, "corrected memory error") + " not tied to a DIMM");
        finding.Emit(mc, "Controller=" + controller, "Memory",
                     "Memory controller " + controller + (name.empty() ? "" : " (" + name + ")"), found);
    }
    for (const TCIMInstance* dimm : rowsOf(container, "VARNSG_MemoryErrorCounter")) {
        const std::string controller = textOf(*dimm, "Controller"), label = textOf(*dimm, "Label");
        PartFinding finding;
        if (const unsigned long long uncorrected = countOf(*dimm, "UncorrectedCount"))
            finding.Add(true, plural(uncorrected, "uncorrected memory error"));
        const unsigned long long corrected = countOf(*dimm, "CorrectedCount");
        if (corrected >= kCorrectedMemoryErrors) {
            const auto window = resetSeconds.find(controller);
            finding.Add(false, plural(corrected, "corrected memory error") +
                                   (window == resetSeconds.end() ? std::string()
                                                                 : " in " + plural(window->second / 3600, "hour") +
                                                                       " since the counters were reset"));
        }
        finding.Emit(dimm, "Controller=" + controller + ", Label=" + label, "Memory",
                     "DIMM " + label + (controller.empty() ? "" : " (" + controller + ")"), found);
    }
}

std::string nvmeWarnings(unsigned long long bits) {
    static const char* const kBits[] = {"spare below threshold", "temperature", "reliability degraded", "read-only",
                                        "volatile memory backup failed"};
    std::string out;
    for (unsigned i = 0; i < 5; ++i)
        if (bits & (1u << i)) out += std::string(out.empty() ? "" : ", ") + kBits[i];
    return out.empty() ? "unknown" : out;
}

std::string diskPart(const TCIMInstance& disk) {
    const std::string id = textOf(disk, "DeviceID"), serial = textOf(disk, "SerialNumber");
    return "Disk " + (has(disk, "Model") ? textOf(disk, "Model") : id) + " (" +
           (serial.empty() ? "" : "serial " + serial + ", ") + id + ")";
}

// The bits of smartctl's exit status that the disk's own rows do not show.
void toolStatus(const TCIMInstance& disk, bool attributeFailingNow, PartFinding& finding) {
    static const struct {
        unsigned bit;
        const char* what;
    } kWarnings[] = {{2, "a command to the disk failed or a reply's checksum was wrong"},
                     {5, "an attribute was at or below its threshold in the past"},
                     {6, "the device error log holds errors"},
                     {7, "the self-test log holds errors"}};
    if (!has(disk, "ToolExitStatus")) return;
    const unsigned long long status = countOf(disk, "ToolExitStatus");
    if ((status & (1u << 4)) && !attributeFailingNow)
        finding.Add(true, "smartctl reports a pre-failure attribute at or below its threshold");
    std::string said;
    for (const auto& warning : kWarnings)
        if (status & (1u << warning.bit)) said += (said.empty() ? "" : ", ") + std::string(warning.what);
    if (!said.empty()) finding.Add(false, "smartctl reports: " + said);
}

void diskRules(const TContainer& container, std::vector<MachineFinding>& found) {
    std::map<std::string, const TCIMInstance*> disks;
    for (const TCIMInstance* disk : rowsOf(container, "VARNSG_DiskHealth")) disks[textOf(*disk, "DeviceID")] = disk;
    std::set<std::string> failingNow;
    for (const TCIMInstance* attribute : rowsOf(container, "VARNSG_DiskSMARTAttribute")) {
        if (textOf(*attribute, "WhenFailed") != "now") continue;
        const std::string id = textOf(*attribute, "DeviceID");
        failingNow.insert(id);
        const auto disk = disks.find(id);
        found.push_back(
            {attribute, "DeviceID=" + id + ", AttributeID=" + textOf(*attribute, "AttributeID"), "Disk", "Error",
             (disk == disks.end() ? "Disk " + id : diskPart(*disk->second)) + ": SMART attribute " +
                 textOf(*attribute, "AttributeID") + " " + textOf(*attribute, "Name") + " failing now (value " +
                 textOf(*attribute, "Value") + ", threshold " + textOf(*attribute, "Threshold") + ")"});
    }
    for (const TCIMInstance* disk : rowsOf(container, "VARNSG_DiskHealth")) {
        const std::string id = textOf(*disk, "DeviceID");
        PartFinding finding;
        if (textOf(*disk, "Assessment") == "Failed") finding.Add(true, "SMART overall assessment failed");
        if (const unsigned long long critical = countOf(*disk, "CriticalWarning"))
            finding.Add(true, "NVMe critical warning (" + nvmeWarnings(critical) + ")");
        if (has(*disk, "AvailableSpare") && has(*disk, "AvailableSpareThreshold") &&
            countOf(*disk, "AvailableSpare") < countOf(*disk, "AvailableSpareThreshold"))
            finding.Add(true, "available spare " + textOf(*disk, "AvailableSpare") + " % below its threshold " +
                                  textOf(*disk, "AvailableSpareThreshold") + " %");
        static const struct {
            const char* property;
            const char* what;
        } kCounters[] = {{"ReallocatedSectors", "reallocated sector"},
                         {"PendingSectors", "pending sector"},
                         {"OfflineUncorrectable", "offline-uncorrectable sector"},
                         {"ReportedUncorrectable", "reported uncorrectable error"},
                         {"MediaErrors", "media error"},
                         {"GrownDefects", "grown defect"},
                         {"UncorrectedErrors", "uncorrected error"}};
        std::string counted;
        for (const auto& counter : kCounters)
            if (const unsigned long long n = countOf(*disk, counter.property))
                counted += (counted.empty() ? "" : ", ") + plural(n, counter.what);
        if (!counted.empty()) finding.Add(false, counted);
        if (countOf(*disk, "PercentageUsed") >= 100)
            finding.Add(false, textOf(*disk, "PercentageUsed") + " % of its rated life used");
        toolStatus(*disk, failingNow.count(id) > 0, finding);
        finding.Emit(disk, "DeviceID=" + id, "Disk", diskPart(*disk), found);
    }
}

void pciRules(const TContainer& container, std::vector<MachineFinding>& found) {
    for (const TCIMInstance* device : rowsOf(container, "VARNSG_PCIErrorCounter")) {
        const std::string address = textOf(*device, "Address"), name = textOf(*device, "Name");
        PartFinding finding;
        if (const unsigned long long n = countOf(*device, "FatalCount")) finding.Add(true, plural(n, "fatal error"));
        if (const unsigned long long n = countOf(*device, "NonFatalCount"))
            finding.Add(false, plural(n, "non-fatal error"));
        finding.Emit(device, "Address=" + address, "PCIe",
                     "PCIe device " + address + (name.empty() ? "" : " (" + name + ")"), found);
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
