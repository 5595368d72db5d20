#include <windows.h>

#include <string>

#include "machine_facts.h"
#include "hardware_facts.h"
#include "wyxcore/exception.h"
#include "wyxcore/os_specific.h"

namespace machine {

std::string HostName() {
    char name[MAX_COMPUTERNAME_LENGTH + 1];
    DWORD size = sizeof name;
    if (!GetComputerNameA(name, &size)) return std::string();
    return std::string(name, size);
}

MachineIdentity FirmwareIdentity() {
    Notes notes;
    return hardware::Firmware(notes).identity;
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
