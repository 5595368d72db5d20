#include <stdlib.h>

#include "fake_tree.h"

namespace machinetest {
void SetEnv(const std::string& name, const char* value) {
    _putenv_s(name.c_str(), value ? value : "");
}
}  // namespace machinetest
