#ifndef NORBIX_TEMP_DIR_H
#define NORBIX_TEMP_DIR_H

#include <filesystem>
#include <string>

namespace testsupport {

// A fresh directory under the system's temporary folder, removed with all it
// holds on destruction.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // The directory, or the named entry in it.
    std::string path(const std::string& name = std::string()) const;

private:
    std::filesystem::path dir_;
};

}  // namespace testsupport

#endif
