#include "file_io.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "os_files.h"
#include "wyxcore/exception.h"
#include "wyxcore/status.h"

namespace fileio {

namespace {

int statusOfErrno(int error, int otherwise) {
    if (error == ENOENT || error == ENOTDIR) return kWyxFileNotFound;
    if (error == EACCES || error == EPERM || error == EROFS || error == EISDIR) return kWyxAccessDenied;
    if (error == ENOSPC) return kWyxDiskFull;
    return otherwise;
}

}  // namespace

std::string ReadAll(const std::string& path) {
    if (wyxos::IsDirectory(path)) throw TWYXException(kWyxAccessDenied, path + ": is a directory");
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        const int error = errno;
        throw TWYXException(statusOfErrno(error, kWyxReadFailed), path + ": " + std::strerror(error));
    }
    std::string data;
    char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) data.append(buffer, n);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) throw TWYXException(kWyxReadFailed, path);
    return data;
}

}  // namespace fileio
