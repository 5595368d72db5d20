#ifndef WYXCORE_TEST_SUPPORT_H
#define WYXCORE_TEST_SUPPORT_H

#include <filesystem>
#include <string>
#include <vector>

class IPlugin;
class TContainer;

namespace testsupport {

// Platform parts (tests/os/...).
void SetEnv(const std::string& name, const std::string& value);
void UnsetEnv(const std::string& name);
// A named pipe at path; false where the platform has none.
bool MakeFifo(const std::string& path);

std::string RequiredEnv(const char* name);

// A fresh directory under the system's temporary folder, removed on destruction.
class TempDir {
public:
    TempDir();
    ~TempDir();
    std::string path(const std::string& name = std::string()) const;

private:
    std::filesystem::path dir_;
};

// Loads the fixture plug-ins and the built plug-ins (once per process) and
// returns the one of that name; fails the test when it is missing.
IPlugin* Plugin(const std::string& name);

// The texts that the plug-in wrote into the core log since the last call,
// in order; the core log is emptied.
std::vector<std::string> TakeLog(IPlugin* source);

// Whole-container equality: classes, declarations, instances and values.
std::string Describe(const TContainer& container);

void WriteBytes(const std::string& path, const std::string& bytes);
std::string ReadBytes(const std::string& path);

}  // namespace testsupport

#endif
