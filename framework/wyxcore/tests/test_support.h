#ifndef WYXCORE_TEST_SUPPORT_H
#define WYXCORE_TEST_SUPPORT_H

#include <string>
#include <vector>

#include "env_var.h"
#include "temp_dir.h"

class IPlugin;
class TContainer;

namespace testsupport {

std::string RequiredEnv(const char* name);

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
