#ifndef SEL_SEL_RECORD_H
#define SEL_SEL_RECORD_H

#include <cstdint>
#include <string>

#include "ipmi_tables.h"

// One 16-byte SEL record, decoded. Every field is read from the record's own
// bytes; the texts come from the IPMI tables, the severity from the event
// itself (threshold class, failure offsets), never from the words.
struct SelRecord {
    static const size_t kSize = 16;

    enum class Stamp {
        None,          // the record type carries no time stamp (OEM non-timestamped, reserved)
        Unspecified,   // 0xFFFFFFFF
        PreInit,       // seconds since the controller started, before its clock was set
        Clock,         // seconds since 1970 on the controller's clock
    };

    uint16_t recordId = 0;
    uint8_t recordType = 0;
    Stamp stampKind = Stamp::None;
    uint32_t stamp = 0;

    bool systemEvent = false;      // type 0x02: the fields below are set
    uint16_t generatorId = 0;
    uint8_t eventRevision = 0;
    uint8_t sensorTypeCode = 0;
    uint8_t sensorNumber = 0;
    uint8_t eventType = 0;         // event/reading type, without the direction bit
    bool deassertion = false;
    uint8_t offset = 0;
    uint8_t eventData[3] = {0, 0, 0};

    std::string sensorType;        // "Power Supply"; "OEM sensor type 0xC3" where the tables have none
    std::string eventDataHex;      // "A1 02 03"; for other record types, their payload
    std::string message;
    ipmi::Severity severity = ipmi::Severity::Info;
};

namespace sel {

// Decodes exactly kSize bytes; any content gives a record.
SelRecord DecodeRecord(const uint8_t* bytes);

// "Assertion" or "Deassertion".
const char* DirectionName(const SelRecord& record);

// "0x41": how the decoder and the reports write a code.
std::string Hex(unsigned value, int digits = 2);
// "0A 1B": bytes as hex pairs.
std::string HexBytes(const uint8_t* bytes, size_t count);

}  // namespace sel

#endif
