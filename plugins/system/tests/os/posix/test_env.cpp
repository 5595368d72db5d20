#include <stdlib.h>

#include "test_env.h"

namespace testenv {
void Set(const std::string& name, const std::string& value) { setenv(name.c_str(), value.c_str(), 1); }
void Unset(const std::string& name) { unsetenv(name.c_str()); }
}  // namespace testenv
