#include "os_files.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "wyxcore/status.h"

namespace wyxos {

bool IsDirectory(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

int MoveOver(const std::string& from, const std::string& to, std::string* reason) {
    if (std::rename(from.c_str(), to.c_str()) == 0) return kWyxOK;
    const int error = errno;
    *reason = std::strerror(error);
    return error == EACCES || error == EPERM || error == EROFS || error == EISDIR ? kWyxAccessDenied
                                                                                    : kWyxWriteFailed;
}

std::string LibraryDirectory() {
    Dl_info info;
    if (!dladdr(reinterpret_cast<void*>(&LibraryDirectory), &info) || !info.dli_fname) return ".";
    std::string path = info.dli_fname;
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace wyxos
