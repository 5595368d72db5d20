#include "fake_tree.h"

#include <cstdlib>
#include <fstream>

#include "env_var.h"

namespace machinetest {

namespace fs = std::filesystem;

FakeTree::FakeTree() : root_(dir_.path()) {
    testsupport::SetEnv("WYX_SYSFS_ROOT", root_.string());
}

FakeTree::~FakeTree() {
    testsupport::UnsetEnv("WYX_SYSFS_ROOT");
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
    if (value) testsupport::SetEnv(name_, value);
    else testsupport::UnsetEnv(name_);
}

ScopedEnv::~ScopedEnv() {
    if (had_) testsupport::SetEnv(name_, old_);
    else testsupport::UnsetEnv(name_);
}

}  // namespace machinetest
