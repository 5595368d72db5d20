// The OS's own disk requests driven through their seams with recorded replies:
// drives that answer, drives that cannot be opened or do not answer, and
// replies that are broken.
#include <gtest/gtest.h>

#include <map>

#include "native_disks.h"
#include "reply_bytes.h"

namespace {

using health::Bytes;
using health::DriveReply;

using healthtest::joined;
using healthtest::put;

Bytes healthLog(uint8_t warning, uint64_t mediaErrors) {
    Bytes page(512, 0);
    page[0] = warning;
    page[3] = 100;
    page[4] = 10;
    put(page, 160, mediaErrors, 8);
    return page;
}

DriveReply answer(Bytes bytes) {
    DriveReply reply;
    reply.outcome = DriveReply::kReplied;
    reply.bytes = std::move(bytes);
    return reply;
}

DriveReply refused(DriveReply::Outcome outcome, const char* error) {
    DriveReply reply;
    reply.outcome = outcome;
    reply.error = error;
    return reply;
}

DriveReply nvmeLogOf(const std::string& device) {
    if (device == "/dev/nvme0") return answer(healthLog(0, 0));
    if (device == "/dev/nvme1") return answer(healthLog(0x08, 3));
    if (device == "/dev/nvme2") return refused(DriveReply::kNotOpened, "Permission denied");
    if (device == "/dev/nvme3") return answer(Bytes(64, 0));
    return refused(DriveReply::kFailed, "Invalid argument");
}

TEST(NativeDisks, NvmeControllersByTheAdminCommand) {
    HealthFacts facts;
    health::ReadNvmeControllers({"/dev/nvme0", "/dev/nvme1", "/dev/nvme2", "/dev/nvme3", "/dev/nvme4"}, nvmeLogOf, facts);
    std::vector<std::string> disks;
    for (const DiskHealthFacts& d : facts.disks)
        disks.push_back(d.deviceId + " " + d.source + " " + d.assessment + " " + std::to_string(d.mediaErrors.value));
    EXPECT_EQ((std::vector<std::string>{"/dev/nvme0 nvme ioctl Passed 0", "/dev/nvme1 nvme ioctl Failed 3"}), disks);
    EXPECT_EQ((std::vector<std::string>{"/dev/nvme2 cannot be opened (Permission denied)",
                                        "/dev/nvme3: NVMe health log of 64 bytes, 512 expected",
                                        "/dev/nvme4 gives no NVMe health log (Invalid argument)"}),
              facts.notes);
    EXPECT_TRUE(facts.problems.empty());
}

Bytes descriptor(uint32_t busType, const std::string& product) {
    Bytes d(36, 0);
    put(d, 16, 36, 4);
    put(d, 28, busType, 4);
    d = joined(d, product);
    d.push_back(0);
    return d;
}

Bytes protocolReply(const Bytes& page) {
    Bytes reply(48, 0);
    put(reply, 8 + 16, 40, 4);
    put(reply, 8 + 20, page.size(), 4);
    reply = joined(reply, page);
    return reply;
}

Bytes prediction(bool failing) {
    Bytes reply(4 + 512, 0);
    reply[0] = failing ? 1 : 0;
    reply[4 + 2] = 5;            // one attribute: reallocated sectors, raw 12
    reply[4 + 2 + 3] = 90;
    reply[4 + 2 + 5] = 12;
    unsigned sum = 0;
    for (size_t i = 4; i < 4 + 511; ++i) sum += reply[i];
    reply[4 + 511] = static_cast<uint8_t>(256 - sum % 256);
    return reply;
}

std::vector<std::string>& requests() {
    static std::vector<std::string> made;
    return made;
}

DriveReply driveRequest(const std::string& drive, unsigned code, const Bytes& input, size_t outputSize) {
    requests().push_back(drive + " " + std::to_string(code) + " " + std::to_string(input.size()) + " " +
                         std::to_string(outputSize));
    const bool descriptorQuery = code == health::kQueryPropertyCode && input.size() == 12;
    if (drive == "PhysicalDrive0") {   // NVMe with a critical warning
        if (descriptorQuery) return answer(descriptor(health::kBusTypeNvme, "NVMe 1TB"));
        return answer(protocolReply(healthLog(0x01, 0)));
    }
    if (drive == "PhysicalDrive1") {   // SATA, failure predicted
        if (descriptorQuery) return answer(descriptor(11, "HD 4TB"));
        return answer(prediction(true));
    }
    if (drive == "PhysicalDrive2") return refused(DriveReply::kNotOpened, "error 5");
    if (drive == "PhysicalDrive3") {   // a RAID volume: no prediction
        if (descriptorQuery) return answer(descriptor(8, "RAID 5 volume"));
        return refused(DriveReply::kFailed, "error 1");
    }
    if (descriptorQuery) return answer(descriptor(health::kBusTypeNvme, "NVMe bad"));
    Bytes broken = protocolReply(healthLog(0, 0));
    put(broken, 8 + 20, 4096, 4);      // claims more than it holds
    return answer(broken);
}

TEST(NativeDisks, WindowsDrivesByTheirControlRequests) {
    requests().clear();
    HealthFacts facts;
    health::ReadDrives({"PhysicalDrive0", "PhysicalDrive1", "PhysicalDrive2", "PhysicalDrive3", "PhysicalDrive4"},
                       driveRequest, facts);
    std::vector<std::string> disks;
    for (const DiskHealthFacts& d : facts.disks)
        disks.push_back(d.deviceId + "|" + d.model + "|" + d.source + "|" + d.protocol + "|" + d.assessment + "|" +
                        std::to_string(d.attributes.size()) + "|" + std::to_string(d.reallocated.value));
    EXPECT_EQ((std::vector<std::string>{"PhysicalDrive0|NVMe 1TB|nvme ioctl|NVMe|Failed|0|0",
                                        "PhysicalDrive1|HD 4TB|predict failure ioctl|ATA|Failed|1|12"}),
              disks);
    EXPECT_EQ((std::vector<std::string>{
                  "PhysicalDrive2 cannot be opened (error 5)", "PhysicalDrive3 gives no failure prediction (error 1)",
                  "NVMe log page reply: its data (offset 40, length 4096) lies outside the 560 bytes"}),
              facts.notes);
    EXPECT_EQ("PhysicalDrive0 2954240 12 4096", requests()[0]);
    EXPECT_EQ("PhysicalDrive0 2954240 560 560", requests()[1]);
    EXPECT_EQ("PhysicalDrive1 2953472 0 516", requests()[3]);
}

}  // namespace
