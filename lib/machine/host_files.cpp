#include "host_files.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace hostfs {

namespace fs = std::filesystem;

namespace {

std::string root() {
    const char* value = std::getenv("WYX_SYSFS_ROOT");
    return value && *value ? std::string(value) : std::string();
}

// Component by component: "/a/bc" is not inside "/a/b".
bool inside(const fs::path& path, const fs::path& folder) {
    auto p = path.begin();
    for (auto f = folder.begin(); f != folder.end(); ++f, ++p)
        if (p == path.end() || *p != *f) return false;
    return true;
}

}  // namespace

bool Rooted() { return !root().empty(); }

bool Resolve(const std::string& absolute, std::string* path) {
    const std::string top = root();
    std::error_code error;
    const fs::path real = fs::canonical(top + absolute, error);
    if (error) return false;
    if (!top.empty()) {
        const fs::path realTop = fs::canonical(top, error);
        if (error || !inside(real, realTop)) return false;
    }
    *path = real.string();
    return true;
}

bool ReadNamedFile(const std::string& path, size_t limit, std::string* text) {
    std::ifstream in(path.c_str(), std::ios::binary);
    if (!in) return false;
    text->clear();
    // Kernel attribute files report no size, and a device reports none that
    // holds: read in pieces up to the limit.
    char buffer[4096];
    while (text->size() < limit) {
        in.read(buffer, static_cast<std::streamsize>(std::min(sizeof buffer, limit - text->size())));
        if (in.gcount() <= 0) break;
        text->append(buffer, static_cast<size_t>(in.gcount()));
    }
    return !in.bad();
}

bool ReadFile(const std::string& absolute, size_t limit, std::string* text) {
    std::string path;
    return Resolve(absolute, &path) && ReadNamedFile(path, limit, text);
}

bool ReadFile(const std::string& absolute, size_t limit, std::string* text, std::vector<std::string>& notes) {
    // One byte beyond the limit tells a file cut from one that fits.
    if (!ReadFile(absolute, limit + 1, text)) return false;
    if (text->size() > limit) {
        text->resize(limit);
        notes.push_back("Only the first " + std::to_string(limit) + " bytes of " + absolute + " read");
    }
    return true;
}

std::string Trimmed(const std::string& text) {
    const char* space = " \t\r\n";
    const size_t first = text.find_first_not_of(space);
    if (first == std::string::npos) return std::string();
    return text.substr(first, text.find_last_not_of(space) - first + 1);
}

std::string ValueOf(const std::string& text) {
    return Trimmed(text.substr(0, text.find_first_of(std::string("\n\0", 2))));
}

std::string ReadValue(const std::string& absolute) {
    std::string text;
    return ReadFile(absolute, kValueLimit, &text) ? ValueOf(text) : std::string();
}

bool ReadNumber(const std::string& absolute, unsigned long long* number) {
    const std::string text = ReadValue(absolute);
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos || text.size() > 19) return false;
    *number = std::strtoull(text.c_str(), nullptr, 10);
    return true;
}

std::vector<std::string> List(const std::string& absolute, std::vector<std::string>& notes) {
    std::vector<std::string> names;
    std::string path;
    if (!Resolve(absolute, &path)) return names;
    std::error_code error;
    fs::directory_iterator it(path, error), end;
    for (; !error && it != end; it.increment(error)) {
        if (names.size() == kListLimit) {
            notes.push_back("Only the first " + std::to_string(kListLimit) + " entries of " + absolute + " read");
            break;
        }
        names.push_back(it->path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string LinkTarget(const std::string& absolute) {
    // The link itself is not followed, but the folders on the way to it are.
    const fs::path link(absolute);
    std::string folder;
    if (!Resolve(link.parent_path().string(), &folder)) return std::string();
    std::error_code error;
    const fs::path target = fs::read_symlink(fs::path(folder) / link.filename(), error);
    return error ? std::string() : target.string();
}

std::string LinkName(const std::string& absolute) { return fs::path(LinkTarget(absolute)).filename().string(); }

bool Exists(const std::string& absolute) {
    std::string path;
    return Resolve(absolute, &path);
}

std::string RealPath(const std::string& absolute) {
    std::string path;
    return Resolve(absolute, &path) ? path : std::string();
}

}  // namespace hostfs
