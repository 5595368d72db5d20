// Reply bytes of the OS's disk health requests decoded. Every length and
// offset inside a reply is checked against the reply's own size first.
#include "disk_replies.h"

#include <algorithm>

#include "counter_text.h"

namespace health {

namespace {

uint64_t little(const Bytes& b, size_t at, size_t width) {
    uint64_t value = 0;
    for (size_t i = width; i-- > 0;) value = value << 8 | b[at + i];
    return value;
}

// A 128-bit little-endian count of the NVMe log; unknown (noted) beyond 64 bits.
Count count128(const Bytes& page, size_t at, const std::string& what, std::vector<std::string>& notes) {
    Count count;
    if (little(page, at + 8, 8) != 0) {
        notes.push_back("NVMe health log: " + what + " beyond 64 bits");
        return count;
    }
    count.known = true;
    count.value = little(page, at, 8);
    return count;
}

Count byteCount(uint8_t value) {
    Count count;
    count.known = true;
    count.value = value;
    return count;
}

std::string trimmed(std::string text) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return std::string();
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

const struct {
    unsigned id;
    const char* name;
} kAttributeNames[] = {
    {1, "Raw_Read_Error_Rate"},       {3, "Spin_Up_Time"},
    {4, "Start_Stop_Count"},          {5, "Reallocated_Sector_Ct"},
    {7, "Seek_Error_Rate"},           {9, "Power_On_Hours"},
    {10, "Spin_Retry_Count"},         {12, "Power_Cycle_Count"},
    {187, "Reported_Uncorrect"},      {188, "Command_Timeout"},
    {190, "Airflow_Temperature_Cel"}, {194, "Temperature_Celsius"},
    {196, "Reallocated_Event_Count"}, {197, "Current_Pending_Sector"},
    {198, "Offline_Uncorrectable"},   {199, "UDMA_CRC_Error_Count"},
};

const size_t kSpecificDataSize = 40;   // STORAGE_PROTOCOL_SPECIFIC_DATA
const size_t kDescriptorHeader = 8;    // STORAGE_PROTOCOL_DATA_DESCRIPTOR's Version and Size

void put32(Bytes& b, size_t at, uint32_t value) {
    for (size_t i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

// A NUL-terminated text at an offset of the reply; empty for offset 0 or one outside it.
std::string textAt(const Bytes& reply, uint32_t offset) {
    if (offset == 0 || offset >= reply.size()) return std::string();
    const auto begin = reply.begin() + offset;
    return trimmed(std::string(begin, std::find(begin, reply.end(), uint8_t(0))));
}

}  // namespace

bool DecodeNvmeHealthLog(const Bytes& page, DiskHealthFacts& disk, std::vector<std::string>& notes) {
    if (page.size() < kNvmeHealthLogSize) {
        notes.push_back(disk.deviceId + ": NVMe health log of " + std::to_string(page.size()) + " bytes, 512 expected");
        return false;
    }
    disk.protocol = "NVMe";
    disk.criticalWarning = byteCount(page[0]);
    const uint64_t kelvin = little(page, 1, 2);
    if (kelvin > 0) {
        disk.temperatureKnown = true;
        disk.temperature = static_cast<int64_t>(kelvin) - 273;
    }
    disk.availableSpare = byteCount(page[3]);
    disk.spareThreshold = byteCount(page[4]);
    disk.percentageUsed = byteCount(page[5]);
    disk.powerOnHours = count128(page, 128, "power-on hours", notes);
    disk.unsafeShutdowns = count128(page, 144, "unsafe shutdowns", notes);
    disk.mediaErrors = count128(page, 160, "media errors", notes);
    // The drive's own verdict: any critical warning bit is a failing drive.
    disk.assessment = page[0] == 0 ? "Passed" : "Failed";
    return true;
}

bool DecodeAtaSmartData(const Bytes& block, DiskHealthFacts& disk, std::vector<std::string>& notes) {
    if (block.size() < kAtaSmartDataSize) {
        notes.push_back(disk.deviceId + ": SMART data of " + std::to_string(block.size()) + " bytes, 512 expected");
        return false;
    }
    unsigned sum = 0;
    for (size_t i = 0; i < kAtaSmartDataSize; ++i) sum += block[i];
    if (sum % 256 != 0) {
        notes.push_back(disk.deviceId + ": SMART data with a bad checksum");
        return false;
    }
    disk.protocol = "ATA";
    // 30 entries of 12 bytes after the 2-byte revision: id, flags, value, worst, 6-byte raw.
    for (size_t entry = 0; entry < 30; ++entry) {
        const size_t at = 2 + entry * 12;
        const unsigned id = block[at];
        if (id == 0) continue;
        SmartAttributeFacts attribute;
        attribute.id = id;
        for (const auto& known : kAttributeNames)
            if (known.id == id) attribute.name = known.name;
        attribute.value = byteCount(block[at + 3]);
        attribute.worst = byteCount(block[at + 4]);
        const uint64_t raw = little(block, at + 5, 6);
        attribute.raw = std::to_string(raw);
        Count counter;
        counter.known = true;
        counter.value = raw & 0xFFFFFFFFull;
        switch (id) {
        case 5: disk.reallocated = counter; break;
        case 9: disk.powerOnHours = counter; break;
        case 187: disk.reportedUncorrectable = counter; break;
        case 194:
            disk.temperatureKnown = true;
            disk.temperature = static_cast<int64_t>(raw & 0xFF);
            break;
        case 197: disk.pending = counter; break;
        case 198: disk.offlineUncorrectable = counter; break;
        case 199: disk.crcErrors = counter; break;
        }
        disk.attributes.push_back(attribute);
    }
    return true;
}

bool DecodePredictFailure(const Bytes& reply, DiskHealthFacts& disk, std::vector<std::string>& notes) {
    if (reply.size() < 4 + kAtaSmartDataSize) {
        notes.push_back(disk.deviceId + ": failure prediction reply of " + std::to_string(reply.size()) +
                        " bytes, 516 expected");
        return false;
    }
    disk.assessment = little(reply, 0, 4) != 0 ? "Failed" : "Passed";
    DecodeAtaSmartData(Bytes(reply.begin() + 4, reply.begin() + 4 + kAtaSmartDataSize), disk, notes);
    return true;
}

Bytes NvmeLogPageQuery(uint32_t logPage, uint32_t length) {
    // STORAGE_PROPERTY_QUERY: PropertyId, QueryType, then the protocol-specific data.
    Bytes query(8 + kSpecificDataSize + length, 0);
    put32(query, 0, 50);   // StorageDeviceProtocolSpecificProperty
    put32(query, 4, 0);    // PropertyStandardQuery
    put32(query, 8, 3);    // ProtocolTypeNvme
    put32(query, 12, 2);   // NVMeDataTypeLogPage
    put32(query, 16, logPage);
    put32(query, 20, 0);
    put32(query, 24, static_cast<uint32_t>(kSpecificDataSize));   // the data right after this header
    put32(query, 28, length);
    return query;
}

bool NvmeLogPageOfReply(const Bytes& reply, Bytes* page, std::vector<std::string>& notes) {
    if (reply.size() < kDescriptorHeader + kSpecificDataSize) {
        notes.push_back("NVMe log page reply of " + std::to_string(reply.size()) + " bytes: too short");
        return false;
    }
    const uint64_t offset = little(reply, kDescriptorHeader + 16, 4);
    const uint64_t length = little(reply, kDescriptorHeader + 20, 4);
    if (offset < kSpecificDataSize || kDescriptorHeader + offset + length > reply.size()) {
        notes.push_back("NVMe log page reply: its data (offset " + std::to_string(offset) + ", length " +
                        std::to_string(length) + ") lies outside the " + std::to_string(reply.size()) + " bytes");
        return false;
    }
    const auto begin = reply.begin() + static_cast<long>(kDescriptorHeader + offset);
    page->assign(begin, begin + static_cast<long>(length));
    return true;
}

bool DecodeStorageDescriptor(const Bytes& reply, StorageDescriptor* descriptor, std::vector<std::string>& notes) {
    const size_t kFixed = 36;
    if (reply.size() < kFixed) {
        notes.push_back("storage descriptor of " + std::to_string(reply.size()) + " bytes: too short");
        return false;
    }
    const std::string vendor = textAt(reply, static_cast<uint32_t>(little(reply, 12, 4)));
    const std::string product = textAt(reply, static_cast<uint32_t>(little(reply, 16, 4)));
    descriptor->model = vendor.empty() ? product : product.empty() ? vendor : vendor + " " + product;
    descriptor->firmware = textAt(reply, static_cast<uint32_t>(little(reply, 20, 4)));
    descriptor->serialNumber = textAt(reply, static_cast<uint32_t>(little(reply, 24, 4)));
    descriptor->busType = static_cast<uint32_t>(little(reply, 28, 4));
    return true;
}

}  // namespace health
