#include "default_directory.h"

#include <cstdlib>

std::string defaultOutputDirectory() {
    const char* drive = std::getenv("SYSTEMDRIVE");
    if (!drive) return "/var/tmp/VARN_Support";
    return std::string(drive) + "/VARN_Support";
}
