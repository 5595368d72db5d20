#include <stdlib.h>

#include "test_env.h"

void setTestEnv(const std::string& name, const char* value) {
    // An empty value removes the variable on Windows.
    _putenv((name + "=" + (value ? value : "")).c_str());
}
