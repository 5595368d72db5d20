#include <cstdlib>
#include <fstream>
#include <sstream>

#include "machine_facts.h"
#include "wyxcore/os_specific.h"

namespace machine {

namespace {

std::string trimmed(const std::string& text) {
    const char* space = " \t\r\n";
    const size_t first = text.find_first_not_of(space);
    if (first == std::string::npos) return std::string();
    return text.substr(first, text.find_last_not_of(space) - first + 1);
}

std::string readValue(const std::string& directory, const char* name) {
    std::ifstream in((directory + TOSSpecific::kFileSeparator + name).c_str(), std::ios::binary);
    if (!in) return std::string();
    std::ostringstream text;
    text << in.rdbuf();
    return trimmed(text.str());
}

}  // namespace

MachineIdentity IdentityFromDirectory(const std::string& directory) {
    MachineIdentity identity;
    identity.manufacturer = readValue(directory, "sys_vendor");
    identity.model = readValue(directory, "product_name");
    identity.serialNumber = readValue(directory, "product_serial");
    return identity;
}

MachineIdentity Identity() {
    const char* dir = std::getenv("WYX_DMI_DIR");
    if (dir && *dir) return IdentityFromDirectory(dir);
    MachineIdentity identity = FirmwareIdentity();
    identity.manufacturer = trimmed(identity.manufacturer);
    identity.model = trimmed(identity.model);
    identity.serialNumber = trimmed(identity.serialNumber);
    return identity;
}

}  // namespace machine
