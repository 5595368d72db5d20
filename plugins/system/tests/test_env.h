#ifndef SYSTEM_TEST_ENV_H
#define SYSTEM_TEST_ENV_H

#include <string>

namespace testenv {
void Set(const std::string& name, const std::string& value);
void Unset(const std::string& name);
}  // namespace testenv

#endif
