#include "host_files.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace hostfs {

namespace fs = std::filesystem;

std::string Path(const std::string& absolute) {
    const char* root = std::getenv("WYX_SYSFS_ROOT");
    return root && *root ? std::string(root) + absolute : absolute;
}

bool Rooted() {
    const char* root = std::getenv("WYX_SYSFS_ROOT");
    return root && *root;
}

bool ReadFile(const std::string& absolute, size_t limit, std::string* text) {
    std::ifstream in(Path(absolute).c_str(), std::ios::binary);
    if (!in) return false;
    text->clear();
    // Kernel attribute files report no size; read in pieces up to the limit.
    char buffer[4096];
    while (text->size() < limit) {
        in.read(buffer, static_cast<std::streamsize>(std::min(sizeof buffer, limit - text->size())));
        if (in.gcount() <= 0) break;
        text->append(buffer, static_cast<size_t>(in.gcount()));
    }
    return !in.bad();
}

std::string Trimmed(const std::string& text) {
    const char* space = " \t\r\n";
    const size_t first = text.find_first_not_of(space);
    if (first == std::string::npos) return std::string();
    return text.substr(first, text.find_last_not_of(space) - first + 1);
}

std::string ReadValue(const std::string& absolute) {
    std::string text;
    if (!ReadFile(absolute, kValueLimit, &text)) return std::string();
    return Trimmed(text.substr(0, text.find('\n')));
}

bool ReadNumber(const std::string& absolute, unsigned long long* number) {
    const std::string text = ReadValue(absolute);
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos || text.size() > 19) return false;
    *number = std::strtoull(text.c_str(), nullptr, 10);
    return true;
}

std::vector<std::string> List(const std::string& absolute) {
    std::vector<std::string> names;
    std::error_code error;
    fs::directory_iterator it(Path(absolute), error), end;
    for (; !error && it != end && names.size() < kListLimit; it.increment(error))
        names.push_back(it->path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string LinkName(const std::string& absolute) {
    std::error_code error;
    const fs::path target = fs::read_symlink(Path(absolute), error);
    return error ? std::string() : target.filename().string();
}

bool Exists(const std::string& absolute) {
    std::error_code error;
    return fs::exists(Path(absolute), error);
}

}  // namespace hostfs
