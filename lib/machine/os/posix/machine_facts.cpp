#include <sys/utsname.h>
#include <time.h>
#include <unistd.h>

#include <string>

#include "host_files.h"
#include "linux_text.h"
#include "machine_facts.h"

namespace machine {

namespace {

const size_t kStatLimit = 1 << 20;

}  // namespace

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
    std::string stat;
    int64_t bootSeconds = 0;
    if (hostfs::ReadFile("/proc/stat", kStatLimit, &stat) && linuxtext::ParseBootSeconds(stat, &bootSeconds)) {
        const time_t boot = static_cast<time_t>(bootSeconds);
        struct tm local;
        // Local time can push the last seconds of 9999 past what a date-time holds.
        if (static_cast<int64_t>(boot) == bootSeconds && localtime_r(&boot, &local) && local.tm_year + 1900 <= 9999) {
            facts.bootTime.Set(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                               local.tm_sec > 59 ? 59 : local.tm_sec, 0, static_cast<int>(local.tm_gmtoff / 60));
            facts.bootTimeKnown = true;
        }
    }
    return facts;
}

}  // namespace machine
