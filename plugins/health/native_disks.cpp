#include "native_disks.h"

#include "host_files.h"

namespace health {

namespace {

const char kSource[] = "nvme ioctl";

// A drive that cannot be opened (permission, a virtual disk, a RAID volume)
// is a note; one that opens and then fails its request, too: many drives
// simply do not answer these requests.
bool replied(const DriveReply& reply, const std::string& device, const char* what, HealthFacts& facts) {
    if (reply.outcome == DriveReply::kReplied) return true;
    facts.notes.push_back(
        device + (reply.outcome == DriveReply::kNotOpened ? " cannot be opened" : std::string(" gives no ") + what) +
        (reply.error.empty() ? std::string() : " (" + reply.error + ")"));
    return false;
}

}  // namespace

void ReadNvmeControllers(const std::vector<std::string>& controllers, NvmeLogRequest request, HealthFacts& facts) {
    for (const std::string& device : controllers) {
        const DriveReply reply = request(device);
        if (!replied(reply, device, "NVMe health log", facts)) continue;
        DiskHealthFacts disk;
        disk.source = kSource;
        disk.deviceId = device;
        if (!DecodeNvmeHealthLog(reply.bytes, disk, facts.notes)) continue;
        const std::string name = device.substr(device.rfind('/') + 1);
        const std::string sysfs = "/sys/class/nvme/" + name + "/";
        disk.model = hostfs::ReadValue(sysfs + "model");
        disk.serialNumber = hostfs::ReadValue(sysfs + "serial");
        disk.firmware = hostfs::ReadValue(sysfs + "firmware_rev");
        facts.disks.push_back(disk);
    }
}

void ReadDrives(const std::vector<std::string>& drives, DriveRequest request, HealthFacts& facts) {
    for (const std::string& drive : drives) {
        // STORAGE_PROPERTY_QUERY for the device descriptor: property 0, standard query.
        const DriveReply described = request(drive, kQueryPropertyCode, Bytes(12, 0), 4096);
        if (!replied(described, drive, "descriptor", facts)) continue;
        StorageDescriptor descriptor;
        if (!DecodeStorageDescriptor(described.bytes, &descriptor, facts.notes)) continue;
        DiskHealthFacts disk;
        disk.deviceId = drive;
        disk.model = descriptor.model;
        disk.serialNumber = descriptor.serialNumber;
        disk.firmware = descriptor.firmware;
        if (descriptor.busType == kBusTypeNvme) {
            disk.source = kSource;
            const Bytes query = NvmeLogPageQuery(2, kNvmeHealthLogSize);
            const DriveReply reply = request(drive, kQueryPropertyCode, query, query.size());
            Bytes page;
            if (!replied(reply, drive, "NVMe health log", facts) ||
                !NvmeLogPageOfReply(reply.bytes, &page, facts.notes) || !DecodeNvmeHealthLog(page, disk, facts.notes))
                continue;
        } else {
            disk.source = "predict failure ioctl";
            const DriveReply reply = request(drive, kPredictFailureCode, Bytes(), 4 + kAtaSmartDataSize);
            if (!replied(reply, drive, "failure prediction", facts) ||
                !DecodePredictFailure(reply.bytes, disk, facts.notes))
                continue;
        }
        facts.disks.push_back(disk);
    }
}

}  // namespace health
