#include "file_io.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "errno_status.h"
#include "os_files.h"
#include "wyxcore/bounded_read.h"
#include "wyxcore/exception.h"
#include "wyxcore/status.h"

namespace fileio {


InputFile::InputFile(const std::string& path) : path_(path), file_(nullptr) {
    if (wyxos::IsDirectory(path)) throw TWYXException(kWyxAccessDenied, path + ": is a directory");
    file_ = std::fopen(path.c_str(), "rb");
    if (!file_) {
        const int error = errno;
        throw TWYXException(wyxos::StatusOfErrno(error, wyxos::FileUse::kRead), path + ": " + std::strerror(error));
    }
}

InputFile::~InputFile() { std::fclose(file_); }

size_t InputFile::Read(char* out, size_t capacity) {
    const size_t n = std::fread(out, 1, capacity, file_);
    if (n == 0 && std::ferror(file_)) throw TWYXException(kWyxReadFailed, path_);
    return n;
}

}  // namespace fileio

std::string ReadBoundedFile(const std::string& path, size_t limit) {
    std::error_code noSize;
    const auto size = std::filesystem::file_size(path, noSize);
    if (!noSize && size > limit) throw TWYXException(kWyxFileTooLarge, path);
    fileio::InputFile file(path);
    std::string data;
    char buffer[65536];
    while (const size_t n = file.Read(buffer, sizeof buffer)) {
        if (n > limit - data.size()) throw TWYXException(kWyxFileTooLarge, path);
        data.append(buffer, n);
    }
    return data;
}
