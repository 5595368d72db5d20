#include <cstdlib>
#include <fstream>
#include <sstream>

#include "host_files.h"
#include "machine_facts.h"
#include "wyxcore/os_specific.h"

namespace machine {

namespace {

std::string readValue(const std::string& directory, const char* name) {
    std::ifstream in((directory + TOSSpecific::kFileSeparator + name).c_str(), std::ios::binary);
    if (!in) return std::string();
    std::ostringstream text;
    text << in.rdbuf();
    return hostfs::Trimmed(text.str());
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
    identity.manufacturer = hostfs::Trimmed(identity.manufacturer);
    identity.model = hostfs::Trimmed(identity.model);
    identity.serialNumber = hostfs::Trimmed(identity.serialNumber);
    return identity;
}

}  // namespace machine
