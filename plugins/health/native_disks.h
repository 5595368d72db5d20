#ifndef HEALTH_NATIVE_DISKS_H
#define HEALTH_NATIVE_DISKS_H

#include <string>
#include <vector>

#include "disk_replies.h"
#include "health_facts.h"

// Disk health from the OS's own requests, where smartctl is not there. The
// requests themselves sit behind a seam (one function per OS), so the tests
// feed these with recorded replies.
namespace health {

struct DriveReply {
    enum Outcome { kReplied, kNotOpened, kFailed } outcome = kFailed;
    std::string error;   // the OS's reason when not kReplied
    Bytes bytes;
};

// Linux: the NVMe health log page of a controller (/dev/nvme0) by the admin command.
using NvmeLogRequest = DriveReply (*)(const std::string& device);
// The controllers' health logs; identity from sysfs (model, serial, firmware_rev).
void ReadNvmeControllers(const std::vector<std::string>& controllers, NvmeLogRequest request, HealthFacts& facts);

// Windows: one control request to a drive (\\.\PhysicalDrive0) with its input.
const unsigned kQueryPropertyCode = 0x2D1400;    // IOCTL_STORAGE_QUERY_PROPERTY
const unsigned kPredictFailureCode = 0x2D1100;   // IOCTL_STORAGE_PREDICT_FAILURE
using DriveRequest = DriveReply (*)(const std::string& drive, unsigned code, const Bytes& input, size_t outputSize);
// Each drive's descriptor, then its NVMe health log or its failure prediction
// with the SMART data.
void ReadDrives(const std::vector<std::string>& drives, DriveRequest request, HealthFacts& facts);

}  // namespace health

#endif
