#include "library.h"

#include <windows.h>

#include "wyxcore/exception.h"
#include "wyxcore/status.h"
#include "win32_error.h"

namespace wyxos {

// A plug-in's dependencies are looked for in its own folder first, then in
// the program's (the driver library, the runtime) and the system's; a missing
// one is an error code, never a dialog that waits for someone at the server's
// console. Systems without the search flags (ERROR_INVALID_PARAMETER) get the
// altered search path (the plug-in's folder), then the standard order.
void* OpenLibrary(const std::string& path, std::string* error) {
    char full[MAX_PATH * 4];
    const DWORD length = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
    const std::string target = length > 0 && length < sizeof full ? std::string(full, length) : path;
    DWORD previousMode = 0;
    const BOOL modeSet = SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &previousMode);
    HMODULE library = LoadLibraryExA(target.c_str(), nullptr,
                                     LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
    DWORD code = library ? 0 : GetLastError();
    if (code == ERROR_INVALID_PARAMETER) {
        library = LoadLibraryExA(target.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
        code = library ? 0 : GetLastError();
        if (code == ERROR_MOD_NOT_FOUND) {
            library = LoadLibraryA(target.c_str());
            code = library ? 0 : GetLastError();
        }
    }
    if (modeSet) SetThreadErrorMode(previousMode, nullptr);
    if (!library && error) *error = Win32ErrorText(code);
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
