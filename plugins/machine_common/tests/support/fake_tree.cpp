#include "fake_tree.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fstream>

namespace machinetest {

namespace fs = std::filesystem;

FakeTree::FakeTree() {
    static std::atomic<int> counter(0);
    root_ = fs::temp_directory_path() /
            ("machine-tree-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()) + "-" +
             std::to_string(counter++));
    fs::create_directories(root_);
    SetEnv("WYX_SYSFS_ROOT", root_.string().c_str());
}

FakeTree::~FakeTree() {
    SetEnv("WYX_SYSFS_ROOT", nullptr);
    std::error_code ignored;
    fs::remove_all(root_, ignored);
}

std::string FakeTree::Path(const std::string& absolute) const { return root_.string() + absolute; }

void FakeTree::Write(const std::string& absolute, const std::string& bytes) {
    const fs::path path(Path(absolute));
    fs::create_directories(path.parent_path());
    std::ofstream out(path.string().c_str(), std::ios::binary);
    out << bytes;
}

void FakeTree::Link(const std::string& absolute, const std::string& target) {
    const fs::path path(Path(absolute));
    fs::create_directories(path.parent_path());
    fs::create_symlink(target, path);
}

ScopedEnv::ScopedEnv(const char* name, const char* value) : name_(name) {
    const char* old = std::getenv(name);
    had_ = old != nullptr;
    if (old) old_ = old;
    SetEnv(name_, value);
}

ScopedEnv::~ScopedEnv() { SetEnv(name_, had_ ? old_.c_str() : nullptr); }

}  // namespace machinetest
