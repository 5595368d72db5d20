#include <stdlib.h>

#include "env_var.h"

namespace testsupport {

void SetEnv(const std::string& name, const std::string& value) { _putenv_s(name.c_str(), value.c_str()); }
void UnsetEnv(const std::string& name) { _putenv_s(name.c_str(), ""); }
bool MakeFifo(const std::string&) { return false; }

}  // namespace testsupport
