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
    InputFile file(path);
    std::string data;
    char buffer[65536];
    while (const size_t n = file.Read(buffer, sizeof buffer)) data.append(buffer, n);
    return data;
}

InputFile::InputFile(const std::string& path) : path_(path), file_(nullptr) {
    if (wyxos::IsDirectory(path)) throw TWYXException(kWyxAccessDenied, path + ": is a directory");
    file_ = std::fopen(path.c_str(), "rb");
    if (!file_) {
        const int error = errno;
        throw TWYXException(statusOfErrno(error, kWyxReadFailed), path + ": " + std::strerror(error));
    }
}

InputFile::~InputFile() { std::fclose(file_); }

size_t InputFile::Read(char* out, size_t capacity) {
    const size_t n = std::fread(out, 1, capacity, file_);
    if (n == 0 && std::ferror(file_)) throw TWYXException(kWyxReadFailed, path_);
    return n;
}

void WriteAtomically(const std::string& path, const std::string& data) {
    AtomicFile file(path);
    file.Write(data.data(), data.size());
    file.Commit();
}

AtomicFile::AtomicFile(const std::string& path) : path_(path), temporary_(path + ".part"), file_(nullptr) {
    file_ = std::fopen(temporary_.c_str(), "wb");
    if (!file_) {
        const int error = errno;
        const int status = statusOfErrno(error, kWyxWriteFailed);
        throw TWYXException(status == kWyxFileNotFound ? kWyxWriteFailed : status, path + ": " + std::strerror(error));
    }
}

AtomicFile::~AtomicFile() {
    if (!file_) return;
    std::fclose(file_);
    std::remove(temporary_.c_str());
}

void AtomicFile::fail(int error) {
    if (file_) std::fclose(file_);
    file_ = nullptr;
    std::remove(temporary_.c_str());
    throw TWYXException(error == ENOSPC ? kWyxDiskFull : kWyxWriteFailed, path_ + ": " + std::strerror(error));
}

void AtomicFile::Write(const char* data, size_t size) {
    if (size && std::fwrite(data, 1, size, file_) != size) fail(errno);
}

void AtomicFile::Commit() {
    if (std::fflush(file_) != 0) fail(errno);
    std::FILE* file = file_;
    file_ = nullptr;
    if (std::fclose(file) != 0) {
        const int error = errno;
        std::remove(temporary_.c_str());
        throw TWYXException(error == ENOSPC ? kWyxDiskFull : kWyxWriteFailed, path_ + ": " + std::strerror(error));
    }
    std::string reason;
    const int status = wyxos::MoveOver(temporary_, path_, &reason);
    if (status != kWyxOK) {
        std::remove(temporary_.c_str());
        throw TWYXException(status, path_ + ": " + reason);
    }
}

}  // namespace fileio
