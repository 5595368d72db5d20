#include <windows.h>

#include <string>
#include <vector>

#include "machine_facts.h"
#include "wyxcore/exception.h"
#include "wyxcore/os_specific.h"

namespace machine {

namespace {

// The n-th (from 1) string of the strings area that begins at p; empty for 0 or
// one beyond the area.
std::string smbiosString(const unsigned char* p, const unsigned char* end, int n) {
    if (n <= 0) return std::string();
    for (int i = 1; p < end && *p; ++i) {
        const unsigned char* start = p;
        while (p < end && *p) ++p;
        if (i == n) return std::string(reinterpret_cast<const char*>(start), p - start);
        ++p;
    }
    return std::string();
}

}  // namespace

std::string HostName() {
    char name[MAX_COMPUTERNAME_LENGTH + 1];
    DWORD size = sizeof name;
    if (!GetComputerNameA(name, &size)) return std::string();
    return std::string(name, size);
}

MachineIdentity FirmwareIdentity() {
    MachineIdentity identity;
    const DWORD provider = 'R' << 24 | 'S' << 16 | 'M' << 8 | 'B';
    const UINT size = GetSystemFirmwareTable(provider, 0, nullptr, 0);
    if (size < 8) return identity;
    std::vector<unsigned char> data(size);
    if (GetSystemFirmwareTable(provider, 0, data.data(), size) != size) return identity;
    DWORD length = 0;
    memcpy(&length, &data[4], sizeof length);
    const unsigned char* p = data.data() + 8;
    const unsigned char* end = p + (length < size - 8 ? length : size - 8);
    while (p + 4 <= end) {
        const unsigned char type = p[0], formatted = p[1];
        if (formatted < 4 || p + formatted > end) break;
        const unsigned char* strings = p + formatted;
        if (type == 1 && formatted >= 8) {
            identity.manufacturer = smbiosString(strings, end, p[4]);
            identity.model = smbiosString(strings, end, p[5]);
            identity.serialNumber = smbiosString(strings, end, p[7]);
            break;
        }
        if (type == 127) break;
        const unsigned char* next = strings;
        while (next + 1 < end && (next[0] || next[1])) ++next;
        p = next + 2;
    }
    return identity;
}

OperatingSystemFacts OperatingSystem() {
    OperatingSystemFacts facts;
    facts.name = "Windows";
    typedef LONG(WINAPI * GetVersionFn)(OSVERSIONINFOW*);
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    GetVersionFn getVersion =
        ntdll ? reinterpret_cast<GetVersionFn>(reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")))
              : nullptr;
    OSVERSIONINFOW info;
    ZeroMemory(&info, sizeof info);
    info.dwOSVersionInfoSize = sizeof info;
    if (getVersion && getVersion(&info) == 0)
        facts.version = std::to_string(info.dwMajorVersion) + "." + std::to_string(info.dwMinorVersion) + "." +
                        std::to_string(info.dwBuildNumber);
    try {
        const ULONGLONG up = GetTickCount64() / 1000;
        TCIMDateTime uptime;
        uptime.Set(static_cast<long>(up / 86400), static_cast<int>(up / 3600 % 24), static_cast<int>(up / 60 % 60),
                   static_cast<int>(up % 60), 0);
        facts.bootTime = TOSSpecific::GetLocalTime() - uptime;
        facts.bootTimeKnown = true;
    } catch (const TWYXException&) {
    }
    return facts;
}

}  // namespace machine
