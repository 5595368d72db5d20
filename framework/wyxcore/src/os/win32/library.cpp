#include "library.h"

#include <windows.h>

#include "wyxcore/exception.h"
#include "wyxcore/status.h"
#include "win32_error.h"

namespace wyxos {

void* OpenLibrary(const std::string& path, std::string* error) {
    HMODULE library = LoadLibraryA(path.c_str());
    if (!library && error) *error = Win32ErrorText(GetLastError());
    return reinterpret_cast<void*>(library);
}

void* FindSymbol(void* library, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

void CloseLibrary(void* library) { FreeLibrary(static_cast<HMODULE>(library)); }

std::vector<std::string> ListFiles(const std::string& directory) {
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((directory + "\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        throw TWYXException(kWyxPluginDirMissing, directory + ": " + Win32ErrorText(GetLastError()));
    std::vector<std::string> names;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(data.cFileName);
    } while (FindNextFileA(find, &data));
    FindClose(find);
    return names;
}

}  // namespace wyxos
