#ifndef NORBIX_FLEET_OUTPUT_FOLDER_H
#define NORBIX_FLEET_OUTPUT_FOLDER_H

#include <string>

// The folder given by --out, made (private to the user) when it does not
// exist; throws FleetError naming it when it cannot be.
void EnsureOutputFolder(const std::string& path);

#endif
