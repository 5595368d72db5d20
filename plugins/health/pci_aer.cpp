// PCIe Advanced Error Reporting counters from the kernel's PCI devices.
#include "pci_aer.h"

#include "counter_text.h"
#include "host_files.h"

namespace health {

namespace {

const char kRoot[] = "/sys/bus/pci/devices";
const size_t kLineLimit = 128;

}  // namespace

AerCounters ParseAerCounters(const std::string& text, const std::string& where, std::vector<std::string>& notes) {
    AerCounters parsed;
    size_t at = 0, lines = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        const std::string line = hostfs::Trimmed(text.substr(at, end - at));
        at = end + 1;
        if (line.empty()) continue;
        if (++lines > kLineLimit) {
            notes.push_back(where + ": only the first " + std::to_string(kLineLimit) + " counters read");
            break;
        }
        const size_t space = line.find_first_of(" \t");
        const std::string name = line.substr(0, space);
        const std::string number = space == std::string::npos ? std::string() : hostfs::Trimmed(line.substr(space));
        if (name.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789_") !=
            std::string::npos) {
            notes.push_back(where + ": not a counter line: " + Quoted(line));
            continue;
        }
        const Count count = CountOf(number, kCounterLimit, where + " " + name, notes);
        if (!count.known) continue;
        if (name.compare(0, 10, "TOTAL_ERR_") == 0)
            parsed.total = count;
        else
            parsed.counters.push_back(name + "=" + std::to_string(count.value));
    }
    return parsed;
}

void ReadPciAer(const std::vector<PciFacts>& names, HealthFacts& facts) {
    static const char* const kRootPortTotals[] = {"aer_rootport_total_err_cor", "aer_rootport_total_err_nonfatal",
                                                  "aer_rootport_total_err_fatal"};
    size_t withAer = 0;
    for (const std::string& address : hostfs::List(kRoot, facts.notes)) {
        const std::string dir = std::string(kRoot) + "/" + address + "/";
        PciErrorFacts device;
        bool any = false;
        const struct {
            const char* file;
            Count PciErrorFacts::*total;
        } files[] = {{"aer_dev_correctable", &PciErrorFacts::correctable},
                     {"aer_dev_nonfatal", &PciErrorFacts::nonFatal},
                     {"aer_dev_fatal", &PciErrorFacts::fatal}};
        for (const auto& file : files) {
            std::string text;
            if (!hostfs::ReadFile(dir + file.file, hostfs::kValueLimit, &text)) continue;
            any = true;
            AerCounters parsed = ParseAerCounters(text, dir + file.file, facts.notes);
            device.*file.total = parsed.total;
            device.counters.insert(device.counters.end(), parsed.counters.begin(), parsed.counters.end());
        }
        for (const char* file : kRootPortTotals) {
            const Count count = ReadCount(dir + file, kCounterLimit, facts.notes);
            if (!hostfs::Exists(dir + file)) continue;
            any = true;
            if (count.known) device.counters.push_back(std::string(file + 4) + "=" + std::to_string(count.value));
        }
        if (!any) continue;
        ++withAer;
        device.source = "aer sysfs";
        device.address = address;
        for (const PciFacts& named : names)
            if (named.slot == address) device.name = named.name;
        facts.pciDevices.push_back(device);
    }
    if (withAer == 0) facts.notes.push_back("No PCIe AER counters: PCIe error counters not collected");
}

}  // namespace health
