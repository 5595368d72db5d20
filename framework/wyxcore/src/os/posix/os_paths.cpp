#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "wyxcore/exception.h"
#include "wyxcore/os_specific.h"
#include "wyxcore/status.h"

const std::string TOSSpecific::kPluginExtension = ".pi.so";
const std::string TOSSpecific::kFileSeparator = "/";

std::string TOSSpecific::GetExecutableDir() {
    char path[PATH_MAX + 1];
    ssize_t n = readlink("/proc/self/exe", path, PATH_MAX);
    if (n <= 0) return ".";
    std::string full(path, static_cast<size_t>(n));
    size_t slash = full.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : full.substr(0, slash);
}

bool TOSSpecific::DirExists(const std::string& path) {
    if (path.empty() || path.find('\0') != std::string::npos)
        throw TWYXException(kWyxInvalidDirectory, path);
    struct stat st;
    if (stat(path.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
    if (errno == ENAMETOOLONG) throw TWYXException(kWyxInvalidDirectory, path);
    return false;
}

void TOSSpecific::CreateDir(const std::string& path) {
    if (mkdir(path.c_str(), 0700) == 0) return;
    const int error = errno;
    if (error == EACCES || error == EPERM || error == EROFS) throw TWYXException(kWyxAccessDenied, path);
    throw TWYXException(kWyxCreateDirFailed, path + ": " + std::strerror(error));
}
