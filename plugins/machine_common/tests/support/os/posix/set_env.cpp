#include <stdlib.h>

#include "fake_tree.h"

namespace machinetest {
void SetEnv(const std::string& name, const char* value) {
    if (value) setenv(name.c_str(), value, 1);
    else unsetenv(name.c_str());
}
}  // namespace machinetest
