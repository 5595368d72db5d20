#ifndef MACHINE_FAKE_TREE_H
#define MACHINE_FAKE_TREE_H

#include <filesystem>
#include <string>

#include "temp_dir.h"

namespace machinetest {

// A fresh folder standing for the machine's root (WYX_SYSFS_ROOT while the
// tree lives), removed with everything in it at the end.
class FakeTree {
public:
    FakeTree();
    ~FakeTree();
    FakeTree(const FakeTree&) = delete;
    FakeTree& operator=(const FakeTree&) = delete;

    // A file at an absolute path of the machine (its folders made), holding the bytes.
    void Write(const std::string& absolute, const std::string& bytes);
    // A symbolic link at an absolute path of the machine to the target, as given.
    void Link(const std::string& absolute, const std::string& target);
    std::string Path(const std::string& absolute = std::string()) const;

private:
    testsupport::TempDir dir_;
    std::filesystem::path root_;
};

// Sets (or with null, removes) an environment variable and restores it.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string name_, old_;
    bool had_;
};

}  // namespace machinetest

#endif
