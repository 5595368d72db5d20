#include "output_folder.h"

#include "fleet_error.h"
#include "wyxcore/exception.h"
#include "wyxcore/os_specific.h"

void EnsureOutputFolder(const std::string& path) {
    try {
        if (!TOSSpecific::DirExists(path)) TOSSpecific::CreateDir(path);
    } catch (const TWYXException& e) {
        throw FleetError("'" + path + "': cannot make the output folder: " + e.what());
    }
}
