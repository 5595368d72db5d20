#include <stdlib.h>
#include <sys/stat.h>

#include "env_var.h"

namespace testsupport {

void SetEnv(const std::string& name, const std::string& value) { setenv(name.c_str(), value.c_str(), 1); }
void UnsetEnv(const std::string& name) { unsetenv(name.c_str()); }
bool MakeFifo(const std::string& path) { return mkfifo(path.c_str(), 0600) == 0; }

}  // namespace testsupport
