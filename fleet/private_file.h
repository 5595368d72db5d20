#ifndef NORBIX_FLEET_PRIVATE_FILE_H
#define NORBIX_FLEET_PRIVATE_FILE_H

#include <string>

// A new store holds logs that can carry credentials: made private to the user
// before the database library opens it (POSIX 0600, created exclusively, no
// link followed; the library's journal files take the same mode). A file
// already there is left as it is. Throws FleetError naming the path.
void CreatePrivateFileIfMissing(const std::string& path);

#endif
