// The operating system from os-release and the kernel, and the packages from
// dpkg's status file (below WYX_SYSFS_ROOT when that is set).
#include "host_files.h"
#include "software_facts.h"

namespace software {

namespace {

const size_t kOsReleaseLimit = 16 << 10;
const size_t kDpkgStatusLimit = 64 << 20;

// A value of os-release, without its quotes.
std::string osReleaseValue(const std::string& text, const std::string& key) {
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(at, end - at);
        at = end + 1;
        if (line.compare(0, key.size() + 1, key + "=") != 0) continue;
        std::string value = hostfs::Trimmed(line.substr(key.size() + 1));
        if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
            value = value.substr(1, value.size() - 2);
        return value;
    }
    return std::string();
}

}  // namespace

std::vector<SoftwareFacts> OperatingSystem(Notes& notes) {
    std::vector<SoftwareFacts> found;
    std::string text;
    if (hostfs::ReadFile("/etc/os-release", kOsReleaseLimit, &text) ||
        hostfs::ReadFile("/usr/lib/os-release", kOsReleaseLimit, &text)) {
        SoftwareFacts os;
        os.name = "Operating system";
        os.kind = "Operating system";
        os.version = osReleaseValue(text, "VERSION_ID");
        os.caption = osReleaseValue(text, "PRETTY_NAME");
        if (os.caption.empty()) os.caption = osReleaseValue(text, "NAME");
        if (!os.version.empty()) found.push_back(os);
    } else {
        notes.push_back("No os-release file");
    }
    SoftwareFacts kernel;
    kernel.name = "Linux kernel";
    kernel.kind = "Operating system";
    kernel.version = hostfs::ReadValue("/proc/sys/kernel/osrelease");
    if (!kernel.version.empty()) found.push_back(kernel);
    return found;
}

std::vector<SoftwareFacts> Packages(Notes& notes) {
    std::string text;
    if (!hostfs::ReadFile("/var/lib/dpkg/status", kDpkgStatusLimit, &text, notes)) {
        notes.push_back("No dpkg status file: installed packages not listed");
        return {};
    }
    // One beyond the limit tells whether there were more.
    std::vector<SoftwareFacts> packages = ParseDpkgStatus(text, kPackageLimit + 1);
    if (packages.size() > kPackageLimit) {
        packages.resize(kPackageLimit);
        notes.push_back("Only the first " + std::to_string(kPackageLimit) + " installed packages collected");
    }
    return packages;
}

}  // namespace software
