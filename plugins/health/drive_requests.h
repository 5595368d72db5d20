#ifndef HEALTH_DRIVE_REQUESTS_H
#define HEALTH_DRIVE_REQUESTS_H

#include <string>
#include <vector>

#include "native_disks.h"

namespace health {

// Windows: the physical drives there are (\\.\PhysicalDrive0, ...), and one
// control request to a drive.
std::vector<std::string> PhysicalDrives();
DriveReply RequestDrive(const std::string& drive, unsigned code, const Bytes& input, size_t outputSize);

}  // namespace health

#endif
