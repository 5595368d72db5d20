#ifndef MACHINE_HOST_FILES_H
#define MACHINE_HOST_FILES_H

#include <cstddef>
#include <string>
#include <vector>

// Reading the kernel's files (/proc, /sys, /dev/kmsg, dpkg's status). Every
// read is bounded: a file that never ends or a directory of millions of
// entries costs no more than the limits below.
namespace hostfs {

const size_t kValueLimit = 4096;         // one attribute file
const size_t kListLimit = 4096;          // entries of one directory

// The path under WYX_SYSFS_ROOT when that is set (a fake tree for tests),
// else the path itself.
std::string Path(const std::string& absolute);
bool Rooted();

// At most limit bytes of the file (Path applied); false when it cannot be opened.
bool ReadFile(const std::string& absolute, size_t limit, std::string* text);
// The first line of an attribute file, trimmed of surrounding white space;
// empty when unreadable.
std::string ReadValue(const std::string& absolute);
// The same read as an unsigned number; false when absent or not a number.
bool ReadNumber(const std::string& absolute, unsigned long long* number);
// Entry names, sorted, at most kListLimit; empty when the folder is missing.
std::vector<std::string> List(const std::string& absolute);
// The last part of a symbolic link's target (a driver's name); empty when it
// is not a link.
std::string LinkName(const std::string& absolute);
bool Exists(const std::string& absolute);

std::string Trimmed(const std::string& text);

}  // namespace hostfs

#endif
