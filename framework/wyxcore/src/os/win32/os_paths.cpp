#include <windows.h>

#include "private_security.h"
#include "win32_error.h"
#include "wyxcore/exception.h"
#include "wyxcore/os_specific.h"
#include "wyxcore/status.h"

const std::string TOSSpecific::kPluginExtension = ".pi.dll";
const std::string TOSSpecific::kFileSeparator = "\\";

std::string TOSSpecific::GetExecutableDir() {
    char path[MAX_PATH + 1];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return ".";
    std::string full(path, n);
    size_t slash = full.find_last_of("\\/");
    return slash == std::string::npos ? "." : full.substr(0, slash);
}

bool TOSSpecific::DirExists(const std::string& path) {
    if (path.empty()) throw TWYXException(kWyxInvalidDirectory, path);
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    DWORD error = GetLastError();
    if (error == ERROR_INVALID_NAME || error == ERROR_BAD_PATHNAME || error == ERROR_FILENAME_EXCED_RANGE ||
        error == ERROR_INVALID_DRIVE || error == ERROR_BAD_NETPATH)
        throw TWYXException(kWyxInvalidDirectory, path);
    return false;
}

void TOSSpecific::CreateDir(const std::string& path) {
    if (CreateDirectoryA(path.c_str(), wyxos::PrivateSecurity())) return;
    DWORD error = GetLastError();
    if (error == ERROR_ACCESS_DENIED) throw TWYXException(kWyxAccessDenied, path);
    throw TWYXException(kWyxCreateDirFailed, path + ": " + wyxos::Win32ErrorText(error));
}
