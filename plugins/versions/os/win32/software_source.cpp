// The Windows version and the installed programs of the uninstall registry.
#include <windows.h>

#include "host_files.h"
#include "machine_facts.h"
#include "software_facts.h"

namespace software {

namespace {

const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

std::string registryText(HKEY key, const char* value) {
    char buffer[1024];
    DWORD size = sizeof buffer - 1;
    if (RegGetValueA(key, nullptr, value, RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS)
        return std::string();
    buffer[sizeof buffer - 1] = '\0';
    return hostfs::Trimmed(buffer);
}

}  // namespace

std::vector<SoftwareFacts> OperatingSystem(Notes& notes) {
    const OperatingSystemFacts facts = machine::OperatingSystem();
    if (facts.version.empty()) {
        notes.push_back("No Windows version");
        return {};
    }
    SoftwareFacts os;
    os.name = "Operating system";
    os.kind = "Operating system";
    os.version = facts.version;
    os.caption = facts.name;
    return {os};
}

std::vector<SoftwareFacts> Packages(Notes& notes) {
    std::vector<SoftwareFacts> programs;
    HKEY uninstall;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_READ, &uninstall) != ERROR_SUCCESS) {
        notes.push_back("No uninstall registry: installed programs not listed");
        return programs;
    }
    char name[256];
    for (DWORD i = 0;; ++i) {
        DWORD length = sizeof name;
        if (RegEnumKeyExA(uninstall, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        if (programs.size() == kPackageLimit) {
            notes.push_back("Only the first " + std::to_string(kPackageLimit) + " installed programs collected");
            break;
        }
        HKEY program;
        if (RegOpenKeyExA(uninstall, name, 0, KEY_READ, &program) != ERROR_SUCCESS) continue;
        SoftwareFacts facts;
        facts.name = registryText(program, "DisplayName");
        facts.version = registryText(program, "DisplayVersion");
        facts.manufacturer = registryText(program, "Publisher");
        facts.kind = "Program";
        RegCloseKey(program);
        if (!facts.name.empty() && !facts.version.empty()) programs.push_back(facts);
    }
    RegCloseKey(uninstall);
    return programs;
}

}  // namespace software
