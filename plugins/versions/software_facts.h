#ifndef VERSIONS_SOFTWARE_FACTS_H
#define VERSIONS_SOFTWARE_FACTS_H

#include <cstddef>
#include <string>
#include <vector>

#include "hardware_facts.h"

// One software or firmware identity: what a version catalog can name.
struct SoftwareFacts {
    std::string name;
    std::string version;
    std::string kind;          // "BIOS", "Operating system", "Package", ...
    std::string manufacturer;
    std::string caption;
    std::string releaseDate;
};

namespace software {

// Installed packages or programs are capped: a catalog names a few, and a
// machine with tens of thousands must not swamp the report.
const size_t kPackageLimit = 5000;

// The operating system and, on Linux, the kernel.
std::vector<SoftwareFacts> OperatingSystem(Notes& notes);
// Installed packages (Linux: dpkg's status) or programs (Windows), at most kPackageLimit.
std::vector<SoftwareFacts> Packages(Notes& notes);

// Installed packages of a dpkg status file, at most limit; stanzas that are
// not installed or lack a name or version are left out.
std::vector<SoftwareFacts> ParseDpkgStatus(const std::string& text, size_t limit);

}  // namespace software

#endif
