#ifndef HEALTH_NVME_ADMIN_H
#define HEALTH_NVME_ADMIN_H

#include <string>
#include <vector>

#include "native_disks.h"

namespace health {

// Linux: the NVMe controllers (/dev/nvme0, ...; below WYX_SYSFS_ROOT when set)
// and the health log of one through the admin command.
std::vector<std::string> NvmeControllers(std::vector<std::string>& notes);
DriveReply NvmeAdminHealthLog(const std::string& device);

}  // namespace health

#endif
