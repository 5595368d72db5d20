#include "database_path.h"

// The library takes the bytes of the name as they are, as the system does.
std::string DatabasePath(const std::string& path) { return path; }
