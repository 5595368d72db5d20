// The machine's parts from the kernel's files under /proc and /sys (below
// WYX_SYSFS_ROOT when that is set).
#include <cstdint>
#include <string>

#include "hardware_facts.h"
#include "host_files.h"
#include "linux_text.h"
#include "pci_names.h"

namespace hardware {

namespace {

const size_t kCpuInfoLimit = 4 << 20;
// More packages than any board has sockets: the rest of such a file is not believed.
const size_t kProcessorLimit = 256;
const size_t kSmbiosLimit = 1 << 20;
const uint64_t kSectorBytes = 512;
const uint64_t kBitsPerMegabit = 1000000;

// Block devices without hardware behind them.
bool isVirtualBlockDevice(const std::string& name) {
    static const char* const prefixes[] = {"loop", "ram", "zram", "dm-", "md", "nbd", "sr"};
    for (const char* prefix : prefixes)
        if (name.compare(0, std::string(prefix).size(), prefix) == 0) return true;
    return false;
}

// The bus from the device's place in the device tree.
std::string busOf(const std::string& devicePath) {
    static const char* const buses[][2] = {{"/nvme", "NVMe"}, {"/usb", "USB"},   {"/ata", "ATA"},
                                           {"/virtio", "virtio"}, {"/host", "SCSI"}, {"/mmc", "MMC"}};
    for (const auto& bus : buses)
        if (devicePath.find(bus[0]) != std::string::npos) return bus[1];
    return std::string();
}

// Debian's PCI ID database, where the machine has it.
void namePciDevices(std::vector<PciFacts>& devices, Notes& notes) {
    static const char* const databases[] = {"/usr/share/misc/pci.ids", "/usr/share/hwdata/pci.ids"};
    for (const char* database : databases) {
        std::string text;
        if (!hostfs::ReadFile(database, pcinames::kDatabaseLimit, &text, notes)) continue;
        pcinames::Name(text, devices);
        return;
    }
    notes.push_back("No PCI ID database: PCI devices named only where the firmware labels them");
}

}  // namespace

std::vector<ProcessorFacts> Processors(Notes& notes) {
    std::string text;
    if (!hostfs::ReadFile("/proc/cpuinfo", kCpuInfoLimit, &text, notes)) {
        notes.push_back("No /proc/cpuinfo: processors not listed");
        return {};
    }
    std::vector<ProcessorFacts> processors = linuxtext::ParseCpuInfo(text);
    if (processors.size() > kProcessorLimit) {
        processors.resize(kProcessorLimit);
        notes.push_back("Only the first " + std::to_string(kProcessorLimit) + " processors collected");
    }
    unsigned long long maxKHz = 0;
    if (hostfs::ReadNumber("/sys/devices/system/cpu/cpu0/cpufreq/cpuinfo_max_freq", &maxKHz) && maxKHz / 1000 > 0) {
        if (maxKHz / 1000 > UINT32_MAX)
            notes.push_back("Processor clock of " + std::to_string(maxKHz) + " kHz out of range: not used");
        else
            for (ProcessorFacts& processor : processors) processor.clockMHz = static_cast<unsigned>(maxKHz / 1000);
    }
    return processors;
}

SmbiosFacts Firmware(Notes& notes) {
    std::string raw;
    if (!hostfs::ReadFile("/sys/firmware/dmi/tables/DMI", kSmbiosLimit, &raw, notes) || raw.empty()) {
        // Only root may read the table; the kernel's summary of it is readable by all.
        SmbiosFacts facts;
        facts.bios.vendor = hostfs::ReadValue("/sys/class/dmi/id/bios_vendor");
        facts.bios.version = hostfs::ReadValue("/sys/class/dmi/id/bios_version");
        facts.bios.releaseDate = hostfs::ReadValue("/sys/class/dmi/id/bios_date");
        notes.push_back(facts.bios.version.empty() ? "No SMBIOS table: firmware and memory modules not listed"
                                                   : "No SMBIOS table: memory modules not listed");
        return facts;
    }
    SmbiosFacts facts = machine::ParseSmbiosStructures(reinterpret_cast<const unsigned char*>(raw.data()), raw.size());
    if (facts.modulesCut)
        notes.push_back("Only the first " + std::to_string(machine::kModuleLimit) + " memory modules collected");
    return facts;
}

MemoryFacts Memory(Notes& notes) {
    MemoryFacts memory;
    std::string text;
    if (hostfs::ReadFile("/proc/meminfo", hostfs::kValueLimit * 4, &text, notes))
        memory.totalKnown = linuxtext::ParseMemTotal(text, &memory.totalBytes);
    if (!memory.totalKnown) notes.push_back("No memory total in /proc/meminfo");
    memory.modules = Firmware(notes).modules;
    return memory;
}

std::vector<DiskFacts> Disks(Notes& notes) {
    std::vector<DiskFacts> disks;
    for (const std::string& name : hostfs::List("/sys/block", notes)) {
        const std::string dir = "/sys/block/" + name;
        if (isVirtualBlockDevice(name) || !hostfs::Exists(dir + "/device")) continue;
        DiskFacts disk;
        disk.deviceId = name;
        disk.model = hostfs::ReadValue(dir + "/device/model");
        disk.serialNumber = hostfs::ReadValue(dir + "/device/serial");
        if (disk.serialNumber.empty()) disk.serialNumber = hostfs::ReadValue(dir + "/serial");
        disk.firmwareRevision = hostfs::ReadValue(dir + "/device/firmware_rev");
        if (disk.firmwareRevision.empty()) disk.firmwareRevision = hostfs::ReadValue(dir + "/device/rev");
        disk.state = hostfs::ReadValue(dir + "/device/state");
        disk.bus = busOf(hostfs::LinkTarget(dir));
        unsigned long long sectors = 0;
        if (hostfs::ReadNumber(dir + "/size", &sectors) && sectors <= UINT64_MAX / kSectorBytes) {
            disk.sizeKnown = true;
            disk.sizeBytes = sectors * kSectorBytes;
        }
        disks.push_back(disk);
    }
    if (disks.empty()) notes.push_back("No disks in /sys/block");
    return disks;
}

std::vector<AdapterFacts> Adapters(Notes& notes) {
    std::vector<AdapterFacts> adapters;
    for (const std::string& name : hostfs::List("/sys/class/net", notes)) {
        const std::string dir = "/sys/class/net/" + name;
        if (name == "lo") continue;
        AdapterFacts adapter;
        adapter.name = name;
        adapter.macAddress = hostfs::ReadValue(dir + "/address");
        adapter.state = hostfs::ReadValue(dir + "/operstate");
        adapter.driver = hostfs::LinkName(dir + "/device/driver");
        if (!adapter.driver.empty())
            adapter.driverVersion = hostfs::ReadValue("/sys/module/" + adapter.driver + "/version");
        // A link that is down reports -1, which is no number here.
        unsigned long long megabits = 0;
        if (hostfs::ReadNumber(dir + "/speed", &megabits) && megabits <= UINT64_MAX / kBitsPerMegabit) {
            adapter.speedKnown = true;
            adapter.speedBitsPerSecond = megabits * kBitsPerMegabit;
        }
        adapters.push_back(adapter);
    }
    if (adapters.empty()) notes.push_back("No network adapters in /sys/class/net");
    return adapters;
}

std::vector<PciFacts> PciDevices(Notes& notes) {
    std::vector<PciFacts> devices;
    for (const std::string& slot : hostfs::List("/sys/bus/pci/devices", notes)) {
        const std::string dir = "/sys/bus/pci/devices/" + slot;
        PciFacts device;
        device.slot = slot;
        device.vendorId = hostfs::ReadValue(dir + "/vendor");
        device.deviceId = hostfs::ReadValue(dir + "/device");
        const std::string subVendor = hostfs::ReadValue(dir + "/subsystem_vendor");
        const std::string subDevice = hostfs::ReadValue(dir + "/subsystem_device");
        if (!subVendor.empty() || !subDevice.empty()) device.subsystemId = subVendor + ":" + subDevice;
        device.classCode = hostfs::ReadValue(dir + "/class");
        device.name = hostfs::ReadValue(dir + "/label");
        device.driver = hostfs::LinkName(dir + "/driver");
        devices.push_back(device);
    }
    if (devices.empty())
        notes.push_back("No PCI devices in /sys/bus/pci/devices");
    else
        namePciDevices(devices, notes);
    return devices;
}

std::vector<DriverFacts> Drivers(Notes& notes) {
    std::vector<DriverFacts> drivers;
    for (const std::string& module : hostfs::List("/sys/module", notes)) {
        const std::string version = hostfs::ReadValue("/sys/module/" + module + "/version");
        if (version.empty()) continue;
        DriverFacts driver;
        driver.name = module;
        driver.version = version;
        drivers.push_back(driver);
    }
    if (drivers.empty()) notes.push_back("No kernel module states a version");
    return drivers;
}

}  // namespace hardware
