// The disks' own replies, recorded as bytes: each decoded, and each reply that
// is short, mis-summed or points outside itself refused with a note.
#include <gtest/gtest.h>

#include "disk_replies.h"
#include "reply_bytes.h"

namespace {

using health::Bytes;

using healthtest::joined;
using healthtest::put;

Bytes nvmeLog() {
    Bytes page(512, 0);
    page[0] = 0x04;                  // reliability degraded
    put(page, 1, 318, 2);            // 45 degrees C in kelvin
    page[3] = 7;
    page[4] = 10;
    page[5] = 101;
    put(page, 128, 20123, 8);        // power-on hours
    put(page, 144, 17, 8);           // unsafe shutdowns
    put(page, 160, 2, 8);            // media errors
    return page;
}

Bytes smartData() {
    Bytes block(512, 0);
    block[0] = 0x10;
    const struct {
        uint8_t id, value, worst;
        uint64_t raw;
    } rows[] = {{5, 100, 100, 8}, {9, 90, 90, 31874}, {194, 36, 52, 0x2600140024ull}, {197, 100, 100, 24}, {240, 1, 1, 7}};
    size_t at = 2;
    for (const auto& r : rows) {
        block[at] = r.id;
        block[at + 3] = r.value;
        block[at + 4] = r.worst;
        put(block, at + 5, r.raw, 6);
        at += 12;
    }
    unsigned sum = 0;
    for (size_t i = 0; i < 511; ++i) sum += block[i];
    block[511] = static_cast<uint8_t>(256 - sum % 256);
    return block;
}

std::string shown(const Count& c) { return c.known ? std::to_string(c.value) : "?"; }

std::string summary(const DiskHealthFacts& d) {
    return d.protocol + "|" + d.assessment + "|" + (d.temperatureKnown ? std::to_string(d.temperature) : "?") + "|" +
           shown(d.powerOnHours) + " ata " + shown(d.reallocated) + "," + shown(d.pending) + " nvme " +
           shown(d.criticalWarning) + "," + shown(d.mediaErrors) + "," + shown(d.percentageUsed) + "," +
           shown(d.availableSpare) + "," + shown(d.spareThreshold) + "," + shown(d.unsafeShutdowns) + " attrs " +
           std::to_string(d.attributes.size());
}

TEST(DiskReplies, HealthLogsAndSmartData) {
    Bytes beyond = nvmeLog();
    beyond[160 + 8] = 1;                       // media errors beyond 64 bits
    Bytes badSum = smartData();
    badSum[100] ^= 0x40;
    Bytes predict(4, 0);
    predict[0] = 1;
    const Bytes block = smartData();
    predict = joined(predict, block);
    const struct {
        const char* what;
        int decoder;   // 0 NVMe log, 1 SMART data, 2 predict failure
        Bytes reply;
        bool decoded;
        std::string summary;
        std::string note;
    } cases[] = {
        {"NVMe health log", 0, nvmeLog(), true, "NVMe|Failed|45|20123 ata ?,? nvme 4,2,101,7,10,17 attrs 0", ""},
        {"NVMe count beyond 64 bits", 0, beyond, true, "NVMe|Failed|45|20123 ata ?,? nvme 4,?,101,7,10,17 attrs 0",
         "NVMe health log: media errors beyond 64 bits"},
        {"NVMe log cut short", 0, Bytes(100, 0), false, "||?|? ata ?,? nvme ?,?,?,?,?,? attrs 0",
         "d: NVMe health log of 100 bytes, 512 expected"},
        {"SMART data", 1, smartData(), true, "ATA||36|31874 ata 8,24 nvme ?,?,?,?,?,? attrs 5", ""},
        {"SMART data with a bad checksum", 1, badSum, false, "||?|? ata ?,? nvme ?,?,?,?,?,? attrs 0",
         "d: SMART data with a bad checksum"},
        {"SMART data cut short", 1, Bytes(511, 0), false, "||?|? ata ?,? nvme ?,?,?,?,?,? attrs 0",
         "d: SMART data of 511 bytes, 512 expected"},
        {"failure predicted", 2, predict, true, "ATA|Failed|36|31874 ata 8,24 nvme ?,?,?,?,?,? attrs 5", ""},
        {"prediction cut short", 2, Bytes(515, 0), false, "||?|? ata ?,? nvme ?,?,?,?,?,? attrs 0",
         "d: failure prediction reply of 515 bytes, 516 expected"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        DiskHealthFacts disk;
        disk.deviceId = "d";
        std::vector<std::string> notes;
        bool decoded = c.decoder == 0   ? health::DecodeNvmeHealthLog(c.reply, disk, notes)
                       : c.decoder == 1 ? health::DecodeAtaSmartData(c.reply, disk, notes)
                                        : health::DecodePredictFailure(c.reply, disk, notes);
        EXPECT_EQ(c.decoded, decoded);
        EXPECT_EQ(c.summary, summary(disk));
        EXPECT_EQ(c.note.empty() ? std::vector<std::string>() : std::vector<std::string>{c.note}, notes);
    }
    DiskHealthFacts disk;
    std::vector<std::string> notes;
    ASSERT_TRUE(health::DecodeAtaSmartData(smartData(), disk, notes));
    EXPECT_EQ("Reallocated_Sector_Ct", disk.attributes[0].name);
    EXPECT_EQ("163210068004", disk.attributes[2].raw);   // all six bytes of the raw value
    EXPECT_EQ("", disk.attributes[4].name);               // a maker's own attribute: no name
}

TEST(DiskReplies, ProtocolQueryAndDescriptors) {
    const Bytes query = health::NvmeLogPageQuery(2, 512);
    ASSERT_EQ(8u + 40 + 512, query.size());
    EXPECT_EQ(50, query[0]);    // the device's protocol-specific property
    EXPECT_EQ(3, query[8]);     // NVMe
    EXPECT_EQ(2, query[16]);    // the health log
    // A reply: the descriptor's header, the specific data, then the page.
    Bytes reply(8 + 40, 0);
    put(reply, 8 + 16, 40, 4);
    put(reply, 8 + 20, 512, 4);
    const Bytes log = nvmeLog();
    reply = joined(reply, log);
    Bytes outside = reply;
    put(outside, 8 + 20, 513, 4);
    Bytes wrap = reply;
    put(wrap, 8 + 16, 0xFFFFFFF0u, 4);
    const struct {
        const char* what;
        Bytes reply;
        bool ok;
    } replies[] = {{"the page", reply, true}, {"length past the end", outside, false},
                   {"offset past the end", wrap, false}, {"short", Bytes(47, 0), false}};
    for (const auto& c : replies) {
        SCOPED_TRACE(c.what);
        Bytes page;
        std::vector<std::string> notes;
        EXPECT_EQ(c.ok, health::NvmeLogPageOfReply(c.reply, &page, notes));
        EXPECT_EQ(c.ok ? log : Bytes(), page);
        EXPECT_EQ(c.ok ? 0u : 1u, notes.size());
    }

    Bytes descriptor(36, 0);
    put(descriptor, 12, 36, 4);      // vendor
    put(descriptor, 16, 41, 4);      // product
    put(descriptor, 20, 61, 4);      // revision
    put(descriptor, 24, 5000, 4);    // serial: outside the reply
    put(descriptor, 28, health::kBusTypeNvme, 4);
    const std::string strings = std::string("VARN\0", 5) + std::string("NVMe 1.6TB         \0", 20) + "GDC7";  // no NUL at the end
    descriptor = joined(descriptor, strings);
    health::StorageDescriptor decoded;
    std::vector<std::string> notes;
    ASSERT_TRUE(health::DecodeStorageDescriptor(descriptor, &decoded, notes));
    EXPECT_EQ("VARN NVMe 1.6TB|GDC7||17",
              decoded.model + "|" + decoded.firmware + "|" + decoded.serialNumber + "|" + std::to_string(decoded.busType));
    EXPECT_FALSE(health::DecodeStorageDescriptor(Bytes(35, 0), &decoded, notes));
}

}  // namespace
