#include "database_path.h"

#include <windows.h>

#include <vector>

#include "fleet_error.h"

// The command line arrives in the ANSI code page; the library reads names as UTF-8.
std::string DatabasePath(const std::string& path) {
    if (path.empty()) return path;
    const int wide = MultiByteToWideChar(CP_ACP, 0, path.data(), static_cast<int>(path.size()), nullptr, 0);
    std::vector<wchar_t> text(wide > 0 ? wide : 1);
    if (wide <= 0 ||
        MultiByteToWideChar(CP_ACP, 0, path.data(), static_cast<int>(path.size()), text.data(), wide) != wide)
        throw FleetError("'" + path + "': the name cannot be read in the system's code page");
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.data(), wide, nullptr, 0, nullptr, nullptr);
    std::string out(bytes > 0 ? bytes : 0, '\0');
    if (bytes <= 0 || WideCharToMultiByte(CP_UTF8, 0, text.data(), wide, &out[0], bytes, nullptr, nullptr) != bytes)
        throw FleetError("'" + path + "': the name cannot be written as UTF-8");
    return out;
}
