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

void WriteAtomically(const std::string& path, const std::string& data) {
    const std::string temporary = path + ".part";
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file) {
        const int error = errno;
        const int status = statusOfErrno(error, kWyxWriteFailed);
        throw TWYXException(status == kWyxFileNotFound ? kWyxWriteFailed : status, path + ": " + std::strerror(error));
    }
    const bool written = std::fwrite(data.data(), 1, data.size(), file) == data.size();
    int error = errno;
    const bool flushed = std::fflush(file) == 0;
    if (written && !flushed) error = errno;
    const bool closed = std::fclose(file) == 0;
    if (written && flushed && !closed) error = errno;
    if (!written || !flushed || !closed) {
        std::remove(temporary.c_str());
        throw TWYXException(error == ENOSPC ? kWyxDiskFull : kWyxWriteFailed, path + ": " + std::strerror(error));
    }
    std::string reason;
    const int status = wyxos::MoveOver(temporary, path, &reason);
    if (status != kWyxOK) {
        std::remove(temporary.c_str());
        throw TWYXException(status, path + ": " + reason);
    }
}

}  // namespace fileio
