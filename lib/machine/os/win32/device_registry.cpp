// The devices' drivers: SetupAPI names each present device's service and
// driver key; the key under the device classes holds the installed driver's
// version, provider and date, and for a network adapter the adapter's name.
#include <windows.h>
#include <setupapi.h>

#include "device_registry.h"

namespace hardware {

namespace {

const char kClassKey[] = "SYSTEM\\CurrentControlSet\\Control\\Class\\";
// Devices looked at; each driver serves one or more of them.
const DWORD kDeviceLimit = 16384;
const DWORD kPropertyLimit = 1024;

std::string deviceProperty(HDEVINFO set, SP_DEVINFO_DATA* device, DWORD property) {
    std::string raw(kPropertyLimit, '\0');
    DWORD size = 0;
    if (!SetupDiGetDeviceRegistryPropertyA(set, device, property, nullptr, reinterpret_cast<BYTE*>(&raw[0]),
                                           kPropertyLimit, &size))
        return std::string();
    raw.resize(size < kPropertyLimit ? size : kPropertyLimit);
    return devicedrivers::RegistryText(raw);
}

// A string value's text; empty when absent, not a string or beyond the limit.
std::string keyText(HKEY key, const char* name) {
    std::string raw(devicedrivers::kValueLimit, '\0');
    DWORD size = static_cast<DWORD>(raw.size());
    DWORD type = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&raw[0]), &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return std::string();
    raw.resize(size < raw.size() ? size : raw.size());
    return devicedrivers::RegistryText(raw);
}

}  // namespace

std::vector<DeviceDriverRecord> DeviceDrivers(Notes& notes) {
    std::vector<DeviceDriverRecord> records;
    HDEVINFO set = SetupDiGetClassDevsA(nullptr, nullptr, nullptr, DIGCF_ALLCLASSES | DIGCF_PRESENT);
    if (set == INVALID_HANDLE_VALUE) {
        notes.push_back("No device list: error " + std::to_string(GetLastError()));
        return records;
    }
    SP_DEVINFO_DATA device;
    device.cbSize = sizeof device;
    for (DWORD i = 0; SetupDiEnumDeviceInfo(set, i, &device); ++i) {
        if (i == kDeviceLimit) {
            notes.push_back("Only the first " + std::to_string(kDeviceLimit) + " devices looked at for their drivers");
            break;
        }
        DeviceDriverRecord record;
        record.service = deviceProperty(set, &device, SPDRP_SERVICE);
        record.description = deviceProperty(set, &device, SPDRP_DEVICEDESC);
        const std::string driverKey = deviceProperty(set, &device, SPDRP_DRIVER);
        HKEY key = nullptr;
        if (!driverKey.empty() &&
            RegOpenKeyExA(HKEY_LOCAL_MACHINE, (kClassKey + driverKey).c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS) {
            record.version = keyText(key, "DriverVersion");
            record.provider = keyText(key, "ProviderName");
            record.date = keyText(key, "DriverDate");
            record.netCfgInstanceId = keyText(key, "NetCfgInstanceId");
            RegCloseKey(key);
        }
        records.push_back(record);
    }
    SetupDiDestroyDeviceInfoList(set);
    return records;
}

}  // namespace hardware
