#include "temp_dir.h"

#include <atomic>
#include <chrono>

namespace testsupport {

TempDir::TempDir() {
    static std::atomic<int> counter(0);
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    dir_ = std::filesystem::temp_directory_path() /
           ("norbix-test-" + std::to_string(stamp) + "-" + std::to_string(counter++));
    std::filesystem::create_directories(dir_);
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
}

std::string TempDir::path(const std::string& name) const {
    return name.empty() ? dir_.string() : (dir_ / name).string();
}

}  // namespace testsupport
