#ifndef WYXCORE_LIBRARY_H
#define WYXCORE_LIBRARY_H

#include <string>
#include <vector>

// Shared-library loading and directory listing, implemented per platform.
namespace wyxos {

// Null on failure, with the OS's error text in *error.
void* OpenLibrary(const std::string& path, std::string* error);
void* FindSymbol(void* library, const char* name);
void CloseLibrary(void* library);
// Names (not paths) of the regular files in a directory; throws TWYXException
// (kWyxPluginDirMissing) when it cannot be read.
std::vector<std::string> ListFiles(const std::string& directory);

}  // namespace wyxos

#endif
