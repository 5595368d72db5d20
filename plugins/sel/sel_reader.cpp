#include "sel_reader.h"

#include <chrono>
#include <cstdio>

namespace sel {

namespace {

uint16_t word(const std::vector<uint8_t>& data, size_t at) {
    return static_cast<uint16_t>(data[at] | (data[at + 1] << 8));
}

uint32_t longWord(const std::vector<uint8_t>& data, size_t at) {
    return data[at] | (data[at + 1] << 8) | (data[at + 2] << 16) | (static_cast<uint32_t>(data[at + 3]) << 24);
}

// Versions the standard writes as BCD with the major digit low: 0x51 is 1.5.
std::string nibbleVersion(uint8_t value) {
    return std::to_string(value & 0x0F) + "." + std::to_string(value >> 4);
}

bool answered(const IpmiReply& reply) {
    return reply.outcome == IpmiReply::Outcome::Answered && reply.completionCode == 0;
}

std::string shortReply(const char* command, size_t got, size_t wanted) {
    return std::string(command) + " gave " + std::to_string(got) + " bytes where " + std::to_string(wanted) +
           " were expected";
}

void readIdentity(IpmiTransport& transport, SelReadResult& result) {
    const IpmiReply reply = transport.request(kNetFnApp, kGetDeviceId, {});
    if (reply.outcome != IpmiReply::Outcome::Answered) return;
    result.answered = true;
    if (reply.completionCode != 0) {
        result.problems.push_back("Get Device ID failed: " + ReplyProblem(reply));
        return;
    }
    const std::vector<uint8_t>& d = reply.data;
    if (d.size() < 11) {
        result.problems.push_back(shortReply("Get Device ID", d.size(), 11));
        return;
    }
    ControllerIdentity& id = result.controller;
    id.known = true;
    id.deviceId = d[0];
    id.deviceRevision = d[1] & 0x0F;
    char firmware[16];
    std::snprintf(firmware, sizeof firmware, "%u.%02X", d[2] & 0x7F, d[3]);
    id.firmwareVersion = firmware;
    id.ipmiVersion = nibbleVersion(d[4]);
    id.selDevice = (d[5] & 0x04) != 0;
    id.manufacturerId = d[6] | (d[7] << 8) | ((d[8] & 0x0F) << 16);
    id.productId = word(d, 9);
}

bool readInfo(IpmiTransport& transport, SelReadResult& result) {
    const IpmiReply reply = transport.request(kNetFnStorage, kGetSelInfo, {});
    if (!answered(reply)) {
        result.problems.push_back("Get SEL Info failed: " + ReplyProblem(reply) + "; the SEL was not read");
        return false;
    }
    const std::vector<uint8_t>& d = reply.data;
    if (d.size() < 14) {
        result.problems.push_back(shortReply("Get SEL Info", d.size(), 14) + "; the SEL was not read");
        return false;
    }
    SelInfoFacts& info = result.info;
    info.known = true;
    info.version = nibbleVersion(d[0]);
    info.entries = word(d, 1);
    info.freeBytes = word(d, 3);
    info.lastAddStamp = longWord(d, 5);
    info.lastEraseStamp = longWord(d, 9);
    info.overflow = (d[13] & 0x80) != 0;
    info.reserveSupported = (d[13] & 0x02) != 0;
    return true;
}

void readClock(IpmiTransport& transport, SelReadResult& result) {
    const IpmiReply reply = transport.request(kNetFnStorage, kGetSelTime, {});
    if (!answered(reply))
        result.clockProblem = "Get SEL Time failed: " + ReplyProblem(reply);
    else if (reply.data.size() < 4)
        result.clockProblem = shortReply("Get SEL Time", reply.data.size(), 4);
    else {
        result.clockKnown = true;
        result.controllerClock = longWord(reply.data, 0);
    }
}

// 0 where the controller keeps no reservations or refuses one: the standard
// lets a reader without one read all the same.
uint16_t reserve(IpmiTransport& transport, const SelReadResult& result) {
    if (!result.info.reserveSupported) return 0;
    const IpmiReply reply = transport.request(kNetFnStorage, kReserveSel, {});
    return answered(reply) && reply.data.size() >= 2 ? word(reply.data, 0) : 0;
}

class Deadline {
public:
    explicit Deadline(const SelReadLimits& limits) : limits_(limits), start_(now()) {}
    bool passed() const { return now() - start_ > limits_.wholeReadMs; }

private:
    int64_t now() const {
        if (limits_.nowMs) return limits_.nowMs();
        using namespace std::chrono;
        return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    }
    const SelReadLimits& limits_;
    const int64_t start_;
};

void readEntries(IpmiTransport& transport, const SelReadLimits& limits, const Deadline& deadline,
                 SelReadResult& result) {
    const uint16_t kFirst = 0x0000, kLast = 0xFFFF;
    const size_t kEntryReply = 2 + SelRecord::kSize;
    std::vector<bool> requested(65536), recorded(65536);
    uint16_t reservation = reserve(transport, result);
    uint16_t id = kFirst;
    int retries = 0;
    bool saidLong = false;
    const auto stop = [&result](const std::string& why) {
        result.problems.push_back("SEL read stopped after " + std::to_string(result.records.size()) +
                                  " records: " + why);
    };
    for (;;) {
        if (result.records.size() >= limits.maxRecords) {
            stop("no log holds more than " + std::to_string(limits.maxRecords) + " records");
            return;
        }
        if (deadline.passed()) {
            stop("the read took longer than " + std::to_string(limits.wholeReadMs / 1000) + " s");
            return;
        }
        requested[id] = true;
        const std::vector<uint8_t> request = {static_cast<uint8_t>(reservation), static_cast<uint8_t>(reservation >> 8),
                                              static_cast<uint8_t>(id), static_cast<uint8_t>(id >> 8), 0x00, 0xFF};
        const IpmiReply reply = transport.request(kNetFnStorage, kGetSelEntry, request);
        if (reply.outcome == IpmiReply::Outcome::Answered && reply.completionCode == kReservationCancelled &&
            retries < limits.reservationRetries) {
            ++retries;
            reservation = reserve(transport, result);
            continue;
        }
        if (!answered(reply)) {
            stop("Get SEL Entry of record " + Hex(id, 4) + " failed: " + ReplyProblem(reply));
            return;
        }
        if (reply.data.size() < kEntryReply) {
            stop(shortReply(("Get SEL Entry of record " + Hex(id, 4)).c_str(), reply.data.size(), kEntryReply));
            return;
        }
        if (reply.data.size() > kEntryReply && !saidLong) {
            saidLong = true;
            result.problems.push_back("Get SEL Entry of record " + Hex(id, 4) + " gave " +
                                      std::to_string(reply.data.size()) + " bytes where " +
                                      std::to_string(kEntryReply) + " were expected; the first " +
                                      std::to_string(kEntryReply) + " were read");
        }
        retries = 0;
        const uint16_t next = word(reply.data, 0);
        SelRecord record = DecodeRecord(reply.data.data() + 2);
        if (recorded[record.recordId]) {
            stop("record ID " + Hex(record.recordId, 4) + " came twice");
            return;
        }
        recorded[record.recordId] = true;
        result.records.push_back(std::move(record));
        if (next == kLast) return;
        if (requested[next] || recorded[next]) {
            stop("the next record ID " + Hex(next, 4) + " was read before");
            return;
        }
        id = next;
    }
}

}  // namespace

std::string ReplyProblem(const IpmiReply& reply) {
    switch (reply.outcome) {
    case IpmiReply::Outcome::NoReply: return "no answer";
    case IpmiReply::Outcome::Failed: return reply.detail;
    case IpmiReply::Outcome::Answered: break;
    }
    const char* text = ipmi::CompletionCodeText(reply.completionCode);
    return "completion code " + Hex(reply.completionCode) + " (" + (text ? text : "not defined by the standard") + ")";
}

SelReadResult ReadSel(IpmiTransport& transport, const SelReadLimits& limits) {
    // The bound covers the whole read: each reply may take the transport's own
    // bound, so the read ends within both added, inside the collector's.
    const Deadline deadline(limits);
    SelReadResult result;
    readIdentity(transport, result);
    if (!result.answered) return result;
    if (!readInfo(transport, result)) return result;
    readClock(transport, result);
    if (result.info.entries == 0) return result;
    readEntries(transport, limits, deadline, result);
    return result;
}

}  // namespace sel
