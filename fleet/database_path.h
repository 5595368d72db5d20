#ifndef NORBIX_FLEET_DATABASE_PATH_H
#define NORBIX_FLEET_DATABASE_PATH_H

#include <string>

// A file name as the command line gave it (the system's 8-bit text) in the
// form the database library opens: UTF-8. Throws FleetError naming the path
// when it cannot be converted.
std::string DatabasePath(const std::string& path);

#endif
