#ifndef NORBIX_ENV_VAR_H
#define NORBIX_ENV_VAR_H

#include <string>

namespace testsupport {

// A variable of this process's environment. Windows keeps no empty variable:
// there an empty value removes it.
void SetEnv(const std::string& name, const std::string& value);
void UnsetEnv(const std::string& name);
// A named pipe at path; false where the platform has none.
bool MakeFifo(const std::string& path);

}  // namespace testsupport

#endif
