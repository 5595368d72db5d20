#include <sys/utsname.h>
#include <time.h>
#include <unistd.h>

#include <fstream>
#include <string>

#include "machine_facts.h"

namespace machine {

std::string HostName() {
    char name[256] = {0};
    if (gethostname(name, sizeof name - 1) != 0) return std::string();
    return name;
}

MachineIdentity FirmwareIdentity() { return IdentityFromDirectory("/sys/class/dmi/id"); }

OperatingSystemFacts OperatingSystem() {
    OperatingSystemFacts facts;
    struct utsname names;
    if (uname(&names) == 0) {
        facts.name = names.sysname;
        facts.version = std::string(names.release) + " " + names.version;
    }
    std::ifstream stat("/proc/stat");
    std::string key;
    long long bootSeconds = -1;
    while (stat >> key) {
        if (key == "btime") {
            stat >> bootSeconds;
            break;
        }
    }
    if (bootSeconds >= 0) {
        const time_t boot = static_cast<time_t>(bootSeconds);
        struct tm local;
        if (localtime_r(&boot, &local)) {
            facts.bootTime.Set(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                               local.tm_sec > 59 ? 59 : local.tm_sec, 0, static_cast<int>(local.tm_gmtoff / 60));
            facts.bootTimeKnown = true;
        }
    }
    return facts;
}

}  // namespace machine
