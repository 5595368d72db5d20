#include <cstdlib>

#include "host_files.h"
#include "machine_facts.h"
#include "wyxcore/os_specific.h"

namespace machine {

namespace {

// As bounded as the kernel's own attribute: a file of megabytes, or a link to
// a device that never ends, costs one page.
std::string readValue(const std::string& directory, const char* name) {
    std::string text;
    if (!hostfs::ReadNamedFile(directory + TOSSpecific::kFileSeparator + name, hostfs::kValueLimit, &text))
        return std::string();
    return hostfs::ValueOf(text);
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
