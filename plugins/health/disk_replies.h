#ifndef HEALTH_DISK_REPLIES_H
#define HEALTH_DISK_REPLIES_H

#include <cstdint>
#include <string>
#include <vector>

#include "health_facts.h"

// What a disk answers to the OS's own health requests, decoded from the reply
// bytes alone, so every decoder is fed recorded replies in the tests. A reply
// that is short, or whose checksum or layout is wrong, decodes to nothing and
// a note.
namespace health {

using Bytes = std::vector<uint8_t>;

const size_t kNvmeHealthLogSize = 512;
const size_t kAtaSmartDataSize = 512;

// The NVMe SMART / Health Information log page (log identifier 2).
bool DecodeNvmeHealthLog(const Bytes& page, DiskHealthFacts& disk, std::vector<std::string>& notes);

// The 512-byte block of ATA SMART READ DATA (as IOCTL_STORAGE_PREDICT_FAILURE
// hands it over): the vendor attribute table, its checksum checked.
bool DecodeAtaSmartData(const Bytes& block, DiskHealthFacts& disk, std::vector<std::string>& notes);

// IOCTL_STORAGE_PREDICT_FAILURE's reply: the failure flag, then the block above.
bool DecodePredictFailure(const Bytes& reply, DiskHealthFacts& disk, std::vector<std::string>& notes);

// The request and the reply of IOCTL_STORAGE_QUERY_PROPERTY for an NVMe log
// page (the protocol-specific property): the reply's data descriptor locates
// the page inside the reply.
Bytes NvmeLogPageQuery(uint32_t logPage, uint32_t length);
bool NvmeLogPageOfReply(const Bytes& reply, Bytes* page, std::vector<std::string>& notes);

// A STORAGE_DEVICE_DESCRIPTOR: vendor and product, revision, serial number and
// the bus type (17: NVMe).
struct StorageDescriptor {
    std::string model, firmware, serialNumber;
    uint32_t busType = 0;
};
bool DecodeStorageDescriptor(const Bytes& reply, StorageDescriptor* descriptor, std::vector<std::string>& notes);
const uint32_t kBusTypeNvme = 17;

}  // namespace health

#endif
