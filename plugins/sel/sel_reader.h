#ifndef SEL_SEL_READER_H
#define SEL_SEL_READER_H

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "ipmi_transport.h"
#include "sel_record.h"

// What Get Device ID said about the controller.
struct ControllerIdentity {
    bool known = false;
    uint8_t deviceId = 0;
    uint8_t deviceRevision = 0;
    std::string firmwareVersion;   // "1.25": major, then the two BCD digits of the minor revision
    std::string ipmiVersion;       // "2.0"
    uint32_t manufacturerId = 0;   // IANA enterprise number
    uint16_t productId = 0;
    bool selDevice = false;
};

// What Get SEL Info said.
struct SelInfoFacts {
    bool known = false;
    std::string version;           // "1.5"
    uint16_t entries = 0;
    uint16_t freeBytes = 0;
    uint32_t lastAddStamp = 0;     // SEL stamps, as the records' are
    uint32_t lastEraseStamp = 0;
    bool overflow = false;
    bool reserveSupported = false;
};

// One read of the controller's event log. problems are sentences for the run
// log, one per fault, each saying what was kept.
struct SelReadResult {
    bool answered = false;         // false: no controller answered Get Device ID
    ControllerIdentity controller;
    SelInfoFacts info;
    bool clockKnown = false;
    uint32_t controllerClock = 0;  // Get SEL Time, seconds since 1970 on its clock
    std::string clockProblem;
    std::vector<SelRecord> records;
    std::vector<std::string> problems;
};

struct SelReadLimits {
    size_t maxRecords = 65536;
    int reservationRetries = 3;    // per record, on "reservation cancelled"
    int64_t wholeReadMs = 20000;   // with one reply's bound (5 s), inside the collector's (30 s)
    std::function<int64_t()> nowMs;   // a monotonic clock; empty: the steady clock
};

namespace sel {

// netfns and commands of the storage and application functions the reader uses.
const uint8_t kNetFnApp = 0x06, kGetDeviceId = 0x01;
const uint8_t kNetFnStorage = 0x0A, kGetSelInfo = 0x40, kReserveSel = 0x42, kGetSelEntry = 0x43, kGetSelTime = 0x48;
const uint8_t kReservationCancelled = 0xC5;

SelReadResult ReadSel(IpmiTransport& transport, const SelReadLimits& limits = SelReadLimits());

// "completion code 0xCB (Requested sensor, data, or record not present)", "no answer", or the driver's reason.
std::string ReplyProblem(const IpmiReply& reply);

}  // namespace sel

#endif
