#include <stdlib.h>

#include "test_env.h"

void setTestEnv(const std::string& name, const char* value) {
    if (value) setenv(name.c_str(), value, 1);
    else unsetenv(name.c_str());
}
