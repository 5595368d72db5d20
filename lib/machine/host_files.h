#ifndef MACHINE_HOST_FILES_H
#define MACHINE_HOST_FILES_H

#include <cstddef>
#include <string>
#include <vector>

// Reading the kernel's files (/proc, /sys, /dev/kmsg, dpkg's status) and the
// identity files. Every read is bounded: a file that never ends or a directory
// of millions of entries costs no more than the limits below. With
// WYX_SYSFS_ROOT set (a fake tree), nothing outside that folder is read: a
// link that leads out of it counts as missing.
namespace hostfs {

// One attribute file; the kernel's own attribute files never exceed a page.
const size_t kValueLimit = 4096;
const size_t kListLimit = 4096;          // entries of one directory

bool Rooted();
// The path to open for a path of the machine (below WYX_SYSFS_ROOT when that
// is set), its links resolved; false when it does not exist or, with
// WYX_SYSFS_ROOT set, lies outside that folder.
bool Resolve(const std::string& absolute, std::string* path);

// At most limit bytes of the file (Resolve applied); false when it cannot be opened.
bool ReadFile(const std::string& absolute, size_t limit, std::string* text);
// The same for a file read as a whole: a note says when it was cut at the limit.
bool ReadFile(const std::string& absolute, size_t limit, std::string* text, std::vector<std::string>& notes);
// At most limit bytes of a file the user named (WYX_DMI_DIR): taken as given,
// links followed.
bool ReadNamedFile(const std::string& path, size_t limit, std::string* text);
// An attribute's value: the first line, up to any NUL, trimmed of surrounding
// white space.
std::string ValueOf(const std::string& text);
// The value of an attribute file (at most kValueLimit bytes read); empty when
// unreadable.
std::string ReadValue(const std::string& absolute);
// The same read as an unsigned number; false when absent or not a number.
bool ReadNumber(const std::string& absolute, unsigned long long* number);
// Entry names, sorted, at most kListLimit (the note says when there were
// more); empty when the folder is missing.
std::vector<std::string> List(const std::string& absolute, std::vector<std::string>& notes);
// A symbolic link's target as stored, and its last part (a driver's name);
// empty when it is not a link.
std::string LinkTarget(const std::string& absolute);
std::string LinkName(const std::string& absolute);
bool Exists(const std::string& absolute);
// Where the path really is (links resolved), to tell one folder reached by
// many links; empty where Resolve fails.
std::string RealPath(const std::string& absolute);

std::string Trimmed(const std::string& text);

}  // namespace hostfs

#endif
