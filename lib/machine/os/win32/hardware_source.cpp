// The machine's parts from the Win32 APIs: the processor registry key and
// topology, the memory status, the SMBIOS firmware table, the physical drives'
// storage properties, the adapter list, SetupAPI's PCI devices and every
// device's driver.
// winsock2 first: the adapter list's types need it, and windows.h must not bring the old winsock.
#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>
#include <setupapi.h>
#include <winioctl.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "device_registry.h"
#include "hardware_facts.h"
#include "host_files.h"
#include "wide_text.h"

namespace hardware {

namespace {

const DWORD kSmbiosProvider = 'R' << 24 | 'S' << 16 | 'M' << 8 | 'B';
const int kMaxPhysicalDrives = 32;
const ULONG kAdapterBufferLimit = 1 << 20;
const UINT kSmbiosLimit = 1 << 20;
const DWORD kPropertyLimit = 4096;

std::string registryText(HKEY root, const char* path, const char* value) {
    char buffer[1024];
    DWORD size = sizeof buffer - 1;
    DWORD type = 0;
    if (RegGetValueA(root, path, value, RRF_RT_REG_SZ, &type, buffer, &size) != ERROR_SUCCESS) return std::string();
    buffer[sizeof buffer - 1] = '\0';
    return hostfs::Trimmed(buffer);
}

DWORD registryNumber(HKEY root, const char* path, const char* value) {
    DWORD number = 0, size = sizeof number;
    if (RegGetValueA(root, path, value, RRF_RT_REG_DWORD, nullptr, &number, &size) != ERROR_SUCCESS) return 0;
    return number;
}

// A NUL-terminated text at an offset of a storage descriptor; empty when the
// offset is 0 or lies outside the bytes returned.
std::string descriptorText(const std::vector<char>& bytes, DWORD returned, DWORD offset) {
    if (offset == 0 || offset >= returned) return std::string();
    const char* start = bytes.data() + offset;
    size_t length = 0;
    while (offset + length < returned && start[length]) ++length;
    return hostfs::Trimmed(std::string(start, length));
}

std::string busName(STORAGE_BUS_TYPE bus) {
    switch (bus) {
        case BusTypeScsi: return "SCSI";
        case BusTypeAtapi: return "ATAPI";
        case BusTypeAta: return "ATA";
        case BusTypeUsb: return "USB";
        case BusTypeSas: return "SAS";
        case BusTypeSata: return "SATA";
        case BusTypeRAID: return "RAID";
        case BusTypeNvme: return "NVMe";
        default: return std::string();
    }
}

std::string deviceProperty(HDEVINFO set, SP_DEVINFO_DATA* device, DWORD property) {
    char buffer[kPropertyLimit];
    DWORD type = 0;
    if (!SetupDiGetDeviceRegistryPropertyA(set, device, property, &type, reinterpret_cast<BYTE*>(buffer),
                                           sizeof buffer - 2, nullptr))
        return std::string();
    buffer[sizeof buffer - 2] = buffer[sizeof buffer - 1] = '\0';
    return buffer;   // a multi-string's first entry
}

// "VEN_8086" in "PCI\VEN_8086&DEV_100E&SUBSYS_...": the four hex digits after the key.
std::string hardwareIdPart(const std::string& id, const char* key, size_t digits) {
    const size_t at = id.find(key);
    if (at == std::string::npos) return std::string();
    return "0x" + id.substr(at + std::string(key).size(), digits);
}

}  // namespace

std::vector<ProcessorFacts> Processors(Notes& notes) {
    const char* key = "HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0";
    ProcessorFacts processor;
    processor.deviceId = "CPU0";
    processor.model = registryText(HKEY_LOCAL_MACHINE, key, "ProcessorNameString");
    processor.manufacturer = registryText(HKEY_LOCAL_MACHINE, key, "VendorIdentifier");
    processor.clockMHz = registryNumber(HKEY_LOCAL_MACHINE, key, "~MHz");
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    processor.threads = info.dwNumberOfProcessors;
    DWORD size = 0;
    GetLogicalProcessorInformation(nullptr, &size);
    std::vector<SYSTEM_LOGICAL_PROCESSOR_INFORMATION> topology(size / sizeof(SYSTEM_LOGICAL_PROCESSOR_INFORMATION) + 1);
    size = static_cast<DWORD>(topology.size() * sizeof topology[0]);
    if (GetLogicalProcessorInformation(topology.data(), &size)) {
        for (DWORD i = 0; i < size / sizeof topology[0]; ++i)
            if (topology[i].Relationship == RelationProcessorCore) ++processor.cores;
    } else {
        notes.push_back("No processor topology: error " + std::to_string(GetLastError()));
    }
    return {processor};
}

SmbiosFacts Firmware(Notes& notes) {
    const UINT size = GetSystemFirmwareTable(kSmbiosProvider, 0, nullptr, 0);
    if (size > kSmbiosLimit) {
        notes.push_back("SMBIOS table of " + std::to_string(size) +
                        " bytes not read: firmware and memory modules not listed");
        return SmbiosFacts();
    }
    std::string raw(size, '\0');
    if (size == 0 || GetSystemFirmwareTable(kSmbiosProvider, 0, &raw[0], size) != size) {
        notes.push_back("No SMBIOS table: firmware and memory modules not listed");
        return SmbiosFacts();
    }
    SmbiosFacts facts = machine::ParseSmbiosFirmwareTable(raw);
    if (facts.modulesCut)
        notes.push_back("Only the first " + std::to_string(machine::kModuleLimit) + " memory modules collected");
    return facts;
}

MemoryFacts Memory(Notes& notes) {
    MemoryFacts memory;
    MEMORYSTATUSEX status;
    status.dwLength = sizeof status;
    if (GlobalMemoryStatusEx(&status)) {
        memory.totalKnown = true;
        memory.totalBytes = status.ullTotalPhys;
    } else {
        notes.push_back("No memory status: error " + std::to_string(GetLastError()));
    }
    memory.modules = Firmware(notes).modules;
    return memory;
}

std::vector<DiskFacts> Disks(Notes& notes) {
    std::vector<DiskFacts> disks;
    for (int n = 0; n < kMaxPhysicalDrives; ++n) {
        const std::string path = "\\\\.\\PhysicalDrive" + std::to_string(n);
        HANDLE drive = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                   nullptr);
        if (drive == INVALID_HANDLE_VALUE) continue;
        DiskFacts disk;
        disk.deviceId = "PhysicalDrive" + std::to_string(n);
        STORAGE_PROPERTY_QUERY query = {};
        query.PropertyId = StorageDeviceProperty;
        query.QueryType = PropertyStandardQuery;
        std::vector<char> bytes(kPropertyLimit);
        DWORD returned = 0;
        if (DeviceIoControl(drive, IOCTL_STORAGE_QUERY_PROPERTY, &query, sizeof query, bytes.data(),
                            static_cast<DWORD>(bytes.size()), &returned, nullptr) &&
            returned >= sizeof(STORAGE_DEVICE_DESCRIPTOR)) {
            const auto* descriptor = reinterpret_cast<const STORAGE_DEVICE_DESCRIPTOR*>(bytes.data());
            const std::string vendor = descriptorText(bytes, returned, descriptor->VendorIdOffset);
            const std::string product = descriptorText(bytes, returned, descriptor->ProductIdOffset);
            disk.model = vendor.empty() ? product : product.empty() ? vendor : vendor + " " + product;
            disk.firmwareRevision = descriptorText(bytes, returned, descriptor->ProductRevisionOffset);
            disk.serialNumber = descriptorText(bytes, returned, descriptor->SerialNumberOffset);
            disk.bus = busName(descriptor->BusType);
        }
        GET_LENGTH_INFORMATION length = {};
        if (DeviceIoControl(drive, IOCTL_DISK_GET_LENGTH_INFO, nullptr, 0, &length, sizeof length, &returned,
                            nullptr) &&
            length.Length.QuadPart >= 0) {
            disk.sizeKnown = true;
            disk.sizeBytes = static_cast<uint64_t>(length.Length.QuadPart);
        }
        CloseHandle(drive);
        disks.push_back(disk);
    }
    if (disks.empty()) notes.push_back("No physical drive could be opened");
    // Drives are numbered from 0 without gaps as a rule; the last number looked at in use means there may be more.
    if (!disks.empty() && disks.back().deviceId == "PhysicalDrive" + std::to_string(kMaxPhysicalDrives - 1))
        notes.push_back("Only physical drives 0 to " + std::to_string(kMaxPhysicalDrives - 1) + " looked at");
    return disks;
}

std::vector<AdapterFacts> Adapters(Notes& notes) {
    std::vector<AdapterFacts> adapters;
    ULONG size = 16 << 10;
    std::vector<char> buffer;
    ULONG result = ERROR_BUFFER_OVERFLOW;
    while (result == ERROR_BUFFER_OVERFLOW && size <= kAdapterBufferLimit) {
        buffer.resize(size);
        result = GetAdaptersAddresses(AF_UNSPEC, GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST, nullptr,
                                      reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data()), &size);
    }
    if (result != NO_ERROR) {
        notes.push_back("No adapter list: error " + std::to_string(result));
        return adapters;
    }
    // The adapter's name is the NetCfgInstanceId in its driver's key, which is how the two are matched.
    const std::vector<DeviceDriverRecord> drivers = DeviceDrivers(notes);
    for (auto* a = reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data()); a; a = a->Next) {
        if (a->IfType == IF_TYPE_SOFTWARE_LOOPBACK) continue;
        AdapterFacts adapter;
        adapter.name = machine::Narrow(a->FriendlyName);
        adapter.description = machine::Narrow(a->Description);
        for (ULONG i = 0; i < a->PhysicalAddressLength && i < MAX_ADAPTER_ADDRESS_LENGTH; ++i) {
            char pair[4];
            std::snprintf(pair, sizeof pair, i ? ":%02x" : "%02x", a->PhysicalAddress[i]);
            adapter.macAddress += pair;
        }
        if (const DeviceDriverRecord* driver = devicedrivers::ForAdapter(drivers, a->AdapterName ? a->AdapterName : "")) {
            adapter.driver = driver->service;
            adapter.driverVersion = driver->version;
        }
        adapter.state = a->OperStatus == IfOperStatusUp ? "up" : a->OperStatus == IfOperStatusDown ? "down" : "unknown";
        if (a->TransmitLinkSpeed != 0 && a->TransmitLinkSpeed != ~0ULL) {
            adapter.speedKnown = true;
            adapter.speedBitsPerSecond = a->TransmitLinkSpeed;
        }
        adapters.push_back(adapter);
    }
    if (adapters.empty()) notes.push_back("No network adapters listed");
    return adapters;
}

std::vector<PciFacts> PciDevices(Notes& notes) {
    std::vector<PciFacts> devices;
    HDEVINFO set = SetupDiGetClassDevsA(nullptr, "PCI", nullptr, DIGCF_ALLCLASSES | DIGCF_PRESENT);
    if (set == INVALID_HANDLE_VALUE) {
        notes.push_back("No PCI device list: error " + std::to_string(GetLastError()));
        return devices;
    }
    SP_DEVINFO_DATA device;
    device.cbSize = sizeof device;
    for (DWORD i = 0; SetupDiEnumDeviceInfo(set, i, &device); ++i) {
        if (i == hostfs::kListLimit) {
            notes.push_back("Only the first " + std::to_string(hostfs::kListLimit) + " PCI devices collected");
            break;
        }
        PciFacts pci;
        const std::string id = deviceProperty(set, &device, SPDRP_HARDWAREID);
        pci.slot = deviceProperty(set, &device, SPDRP_LOCATION_INFORMATION);
        pci.vendorId = hardwareIdPart(id, "VEN_", 4);
        pci.deviceId = hardwareIdPart(id, "DEV_", 4);
        const std::string subsystem = hardwareIdPart(id, "SUBSYS_", 8);
        pci.subsystemId = subsystem;
        pci.classCode = hardwareIdPart(id, "CC_", 6);
        pci.name = deviceProperty(set, &device, SPDRP_DEVICEDESC);
        pci.driver = deviceProperty(set, &device, SPDRP_SERVICE);
        devices.push_back(pci);
    }
    SetupDiDestroyDeviceInfoList(set);
    if (devices.empty()) notes.push_back("No PCI devices listed");
    return devices;
}

std::vector<DriverFacts> Drivers(Notes& notes) {
    // One beyond the limit tells whether there were more.
    std::vector<DriverFacts> drivers =
        devicedrivers::Distinct(DeviceDrivers(notes), devicedrivers::kDriverLimit + 1);
    if (drivers.size() > devicedrivers::kDriverLimit) {
        drivers.resize(devicedrivers::kDriverLimit);
        notes.push_back("Only the first " + std::to_string(devicedrivers::kDriverLimit) + " drivers collected");
    }
    if (drivers.empty()) notes.push_back("No device driver states a version");
    return drivers;
}

}  // namespace hardware
