#include <stdlib.h>

#include "test_env.h"

namespace testenv {
void Set(const std::string& name, const std::string& value) { _putenv_s(name.c_str(), value.c_str()); }
void Unset(const std::string& name) { _putenv_s(name.c_str(), ""); }
}  // namespace testenv
