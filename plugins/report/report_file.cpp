#include "report_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "wyxcore/exception.h"
#include "wyxcore/status.h"

namespace {

// The size of the file on disk. A text-mode stream of the Windows runtime can
// lose a failed write (a full disk) and still close with success; the bytes
// on disk tell. Line-end translation only ever adds bytes.
bool holdsAtLeast(const std::string& path, size_t size) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    const bool sought = std::fseek(file, 0, SEEK_END) == 0;
    const long end = sought ? std::ftell(file) : -1;
    std::fclose(file);
    return end >= 0 && static_cast<unsigned long>(end) >= size;
}

}  // namespace

void WriteReportFile(const std::string& path, const std::string& content, bool textMode) {
    const std::string temp = path + ".partial";
    std::FILE* file = std::fopen(temp.c_str(), textMode ? "w" : "wb");
    if (!file) throw TWYXException(kWyxAccessDenied, path + ": " + std::strerror(errno));
    bool ok = std::fwrite(content.data(), 1, content.size(), file) == content.size();
    int error = errno;
    if (std::fclose(file) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (ok && !holdsAtLeast(temp, content.size())) {
        std::remove(temp.c_str());
        throw TWYXException(kWyxWriteFailed, path + ": the file on disk is shorter than what was written");
    }
    if (!ok) {
        std::remove(temp.c_str());
        throw TWYXException(error == ENOSPC ? kWyxDiskFull : kWyxWriteFailed, path + ": " + std::strerror(error));
    }
    if (std::rename(temp.c_str(), path.c_str()) == 0) return;
    // Windows does not rename over an existing file: the old one goes first.
    std::remove(path.c_str());
    if (std::rename(temp.c_str(), path.c_str()) == 0) return;
    error = errno;
    std::remove(temp.c_str());
    throw TWYXException(kWyxAccessDenied, path + ": " + std::strerror(error));
}
