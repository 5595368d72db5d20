#ifndef WYXCORE_OS_FILES_H
#define WYXCORE_OS_FILES_H

#include <string>

namespace wyxos {

bool IsDirectory(const std::string& path);
// The directory of the wyxcore library file itself, without a trailing separator.
std::string LibraryDirectory();

}  // namespace wyxos

#endif
