#ifndef WYXCORE_OS_FILES_H
#define WYXCORE_OS_FILES_H

#include <string>

namespace wyxos {

bool IsDirectory(const std::string& path);
// Renames from over to, replacing to. Returns kWyxOK, or kWyxAccessDenied or
// kWyxWriteFailed with the OS's reason.
int MoveOver(const std::string& from, const std::string& to, std::string* reason);
// The directory of the wyxcore library file itself, without a trailing separator.
std::string LibraryDirectory();

}  // namespace wyxos

#endif
