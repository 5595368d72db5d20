#ifndef VANTLIB_TEST_ENV_H
#define VANTLIB_TEST_ENV_H

#include <string>

// Sets (or, with null, removes) an environment variable of this process.
void setTestEnv(const std::string& name, const char* value);

#endif
