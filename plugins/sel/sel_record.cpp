#include "sel_record.h"

#include <cstdio>

namespace sel {

namespace {

const uint8_t kSystemEventRecord = 0x02;
const uint8_t kThresholdEvents = 0x01;
const uint8_t kSensorSpecificEvents = 0x6F;
// Below this a stamp counts seconds since the controller started, not since 1970.
const uint32_t kFirstClockStamp = 0x20000000;
const uint32_t kUnspecifiedStamp = 0xFFFFFFFF;

uint32_t littleEndian32(const uint8_t* bytes) {
    return bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
}

void readStamp(const uint8_t* bytes, SelRecord& record) {
    record.stamp = littleEndian32(bytes);
    if (record.stamp == kUnspecifiedStamp)
        record.stampKind = SelRecord::Stamp::Unspecified;
    else if (record.stamp < kFirstClockStamp)
        record.stampKind = SelRecord::Stamp::PreInit;
    else
        record.stampKind = SelRecord::Stamp::Clock;
}

std::string sensorTypeText(uint8_t code) {
    if (const char* name = ipmi::SensorTypeName(code)) return name;
    return (code >= 0xC0 ? "OEM sensor type " : "Reserved sensor type ") + Hex(code);
}

// Event data 1 says what bytes 2 and 3 carry; for a threshold event 01b is the
// reading that crossed and the threshold it crossed.
void thresholdValues(const SelRecord& record, std::string& message) {
    const uint8_t usage = record.eventData[0];
    if ((usage >> 6) == 1) message += ", reading " + Hex(record.eventData[1]);
    if (((usage >> 4) & 3) == 1) message += ", threshold " + Hex(record.eventData[2]);
}

void describeEvent(SelRecord& record) {
    const ipmi::EventText* text = nullptr;
    if (record.eventType == kSensorSpecificEvents)
        text = ipmi::SensorSpecificEvent(record.sensorTypeCode, record.offset);
    else
        text = ipmi::GenericEvent(record.eventType, record.offset);
    if (text) {
        record.message = text->text;
        if (!record.deassertion) record.severity = text->asserted;
        if (record.eventType == kThresholdEvents) thresholdValues(record, record.message);
    } else if (record.eventType >= 0x70 && record.eventType <= 0x7F) {
        record.message = "OEM event type " + Hex(record.eventType) + ", offset " + Hex(record.offset);
    } else if (record.eventType == kSensorSpecificEvents || (record.eventType >= 0x01 && record.eventType <= 0x0C)) {
        record.message = "Reserved offset " + Hex(record.offset) + " of event type " + Hex(record.eventType);
    } else {
        record.message = "Unspecified event type " + Hex(record.eventType) + ", offset " + Hex(record.offset);
    }
}

}  // namespace

std::string Hex(unsigned value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*X", digits, value);
    return text;
}

std::string HexBytes(const uint8_t* bytes, size_t count) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (size_t i = 0; i < count; ++i) {
        if (i) text += ' ';
        text += kDigits[bytes[i] >> 4];
        text += kDigits[bytes[i] & 15];
    }
    return text;
}

const char* DirectionName(const SelRecord& record) { return record.deassertion ? "Deassertion" : "Assertion"; }

SelRecord DecodeRecord(const uint8_t* b) {
    SelRecord record;
    record.recordId = static_cast<uint16_t>(b[0] | (b[1] << 8));
    record.recordType = b[2];
    if (record.recordType == kSystemEventRecord) {
        readStamp(b + 3, record);
        record.systemEvent = true;
        record.generatorId = static_cast<uint16_t>(b[7] | (b[8] << 8));
        record.eventRevision = b[9];
        record.sensorTypeCode = b[10];
        record.sensorNumber = b[11];
        record.deassertion = (b[12] & 0x80) != 0;
        record.eventType = b[12] & 0x7F;
        for (int i = 0; i < 3; ++i) record.eventData[i] = b[13 + i];
        record.offset = b[13] & 0x0F;
        record.sensorType = sensorTypeText(record.sensorTypeCode);
        record.eventDataHex = HexBytes(b + 13, 3);
        describeEvent(record);
    } else if (record.recordType >= 0xC0 && record.recordType <= 0xDF) {
        // Time stamp, then the maker's ID and its own data.
        readStamp(b + 3, record);
        record.eventDataHex = HexBytes(b + 7, 9);
        record.message = "OEM record";
    } else if (record.recordType >= 0xE0) {
        record.eventDataHex = HexBytes(b + 3, 13);
        record.message = "OEM record";
    } else {
        record.eventDataHex = HexBytes(b + 3, 13);
        record.message = "Reserved record type " + Hex(record.recordType);
    }
    return record;
}

}  // namespace sel
