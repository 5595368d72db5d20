// Records of every kind, decoded from their bytes.
#include <gtest/gtest.h>

#include <vector>

#include "sel_record.h"

namespace {

using Bytes = std::vector<uint8_t>;

// A system event record: stamp 0x5F5E1000 (2020-09-13), generator 0x0020.
Bytes systemEvent(uint8_t sensorType, uint8_t sensor, uint8_t dirType, uint8_t d1, uint8_t d2 = 0xFF, uint8_t d3 = 0xFF) {
    return {0x34, 0x12, 0x02, 0x00, 0x10, 0x5E, 0x5F, 0x20, 0x00, 0x04, sensorType, sensor, dirType, d1, d2, d3};
}

struct Case {
    const char* name;
    Bytes bytes;
    const char* sensorType;
    const char* message;
    const char* direction;
    ipmi::Severity severity;
};

const ipmi::Severity I = ipmi::Severity::Info, W = ipmi::Severity::Warning, E = ipmi::Severity::Error;

const Case kCases[] = {
    {"fan below lower critical, reading and threshold", systemEvent(0x04, 0x30, 0x01, 0x52, 0x05, 0x0A), "Fan",
     "Lower Critical going low, reading 0x05, threshold 0x0A", "Assertion", E},
    {"threshold without the bytes", systemEvent(0x01, 0x01, 0x01, 0x07), "Temperature", "Upper Non-critical going high",
     "Assertion", W},
    {"non-recoverable", systemEvent(0x02, 0x02, 0x01, 0x5B, 0x99, 0x90), "Voltage",
     "Upper Non-recoverable going high, reading 0x99, threshold 0x90", "Assertion", E},
    {"threshold deassertion is cleared", systemEvent(0x04, 0x30, 0x81, 0x02), "Fan", "Lower Critical going low",
     "Deassertion", I},
    {"power supply failure", systemEvent(0x08, 0x41, 0x6F, 0x01), "Power Supply", "Power Supply Failure detected",
     "Assertion", E},
    {"power supply presence", systemEvent(0x08, 0x41, 0x6F, 0x00), "Power Supply", "Presence detected", "Assertion", I},
    {"uncorrectable memory", systemEvent(0x0C, 0x60, 0x6F, 0xA1, 0x00, 0x03), "Memory",
     "Uncorrectable ECC / other uncorrectable memory error", "Assertion", E},
    {"processor IERR", systemEvent(0x07, 0x90, 0x6F, 0x00), "Processor", "IERR", "Assertion", E},
    {"drive fault deasserted", systemEvent(0x0D, 0x10, 0xEF, 0x01), "Drive Slot (Bay)", "Drive Fault", "Deassertion", I},
    {"SEL full", systemEvent(0x10, 0x01, 0x6F, 0x04), "Event Logging Disabled", "SEL Full", "Assertion", W},
    {"generic redundancy lost", systemEvent(0x08, 0x42, 0x0B, 0x01), "Power Supply", "Redundancy Lost", "Assertion", E},
    {"generic predictive failure", systemEvent(0x0D, 0x10, 0x04, 0x01), "Drive Slot (Bay)",
     "Predictive Failure asserted", "Assertion", W},
    {"offset with no text", systemEvent(0x08, 0x41, 0x6F, 0x0E), "Power Supply",
     "Reserved offset 0x0E of event type 0x6F", "Assertion", I},
    {"sensor type without offsets", systemEvent(0x17, 0x01, 0x6F, 0x00), "Add-in Card",
     "Reserved offset 0x00 of event type 0x6F", "Assertion", I},
    {"OEM event type", systemEvent(0x01, 0x01, 0x72, 0x03), "Temperature", "OEM event type 0x72, offset 0x03",
     "Assertion", I},
    {"reserved event type", systemEvent(0x01, 0x01, 0x20, 0x03), "Temperature",
     "Unspecified event type 0x20, offset 0x03", "Assertion", I},
    {"OEM sensor type", systemEvent(0xC3, 0x01, 0x03, 0x01), "OEM sensor type 0xC3", "State Asserted", "Assertion", I},
    {"reserved sensor type", systemEvent(0x50, 0x01, 0x03, 0x00), "Reserved sensor type 0x50", "State Deasserted",
     "Assertion", I},
};

class DecodeRecord : public ::testing::TestWithParam<Case> {};

TEST_P(DecodeRecord, GivesTypeMessageDirectionAndSeverity) {
    const Case& c = GetParam();
    const SelRecord record = sel::DecodeRecord(c.bytes.data());
    EXPECT_TRUE(record.systemEvent);
    EXPECT_EQ(record.recordId, 0x1234);
    EXPECT_EQ(record.sensorType, c.sensorType);
    EXPECT_EQ(record.message, c.message);
    EXPECT_STREQ(sel::DirectionName(record), c.direction);
    EXPECT_EQ(ipmi::SeverityName(record.severity), std::string(ipmi::SeverityName(c.severity)));
    EXPECT_EQ(record.sensorNumber, c.bytes[11]);
    EXPECT_EQ(record.generatorId, 0x0020);
}

INSTANTIATE_TEST_SUITE_P(Table, DecodeRecord, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& info) {
                             std::string name = info.param.name;
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             return name;
                         });

struct Other {
    const char* name;
    Bytes bytes;
    SelRecord::Stamp stamp;
    uint32_t stampValue;
    const char* message;
    const char* data;
};

const Other kOthers[] = {
    {"OEM timestamped", {0x01, 0x00, 0xC1, 0x00, 0x10, 0x5E, 0x5F, 0x57, 0x01, 0x00, 1, 2, 3, 4, 5, 6},
     SelRecord::Stamp::Clock, 0x5F5E1000, "OEM record", "57 01 00 01 02 03 04 05 06"},
    {"OEM non-timestamped", {0x02, 0x00, 0xE5, 0xAA, 0xBB, 0xCC, 0xDD, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF},
     SelRecord::Stamp::None, 0, "OEM record", "AA BB CC DD 00 00 00 00 00 00 00 00 FF"},
    {"reserved type", {0x03, 0x00, 0x10, 0xAA, 0xBB, 0xCC, 0xDD, 0, 0, 0, 0, 0, 0, 0, 0, 0x01},
     SelRecord::Stamp::None, 0, "Reserved record type 0x10", "AA BB CC DD 00 00 00 00 00 00 00 00 01"},
    {"unspecified stamp", {0x04, 0x00, 0x02, 0xFF, 0xFF, 0xFF, 0xFF, 0x20, 0, 4, 0x01, 1, 0x03, 0x01, 0xFF, 0xFF},
     SelRecord::Stamp::Unspecified, 0xFFFFFFFF, "State Asserted", "01 FF FF"},
    {"pre-init stamp", {0x05, 0x00, 0x02, 0x3C, 0x00, 0x00, 0x00, 0x20, 0, 4, 0x01, 1, 0x03, 0x00, 0xFF, 0xFF},
     SelRecord::Stamp::PreInit, 60, "State Deasserted", "00 FF FF"},
    {"last pre-init stamp", {0x06, 0x00, 0x02, 0xFF, 0xFF, 0xFF, 0x1F, 0x20, 0, 4, 0x01, 1, 0x03, 0x00, 0xFF, 0xFF},
     SelRecord::Stamp::PreInit, 0x1FFFFFFF, "State Deasserted", "00 FF FF"},
    {"first clock stamp", {0x07, 0x00, 0x02, 0x00, 0x00, 0x00, 0x20, 0x20, 0, 4, 0x01, 1, 0x03, 0x00, 0xFF, 0xFF},
     SelRecord::Stamp::Clock, 0x20000000, "State Deasserted", "00 FF FF"},
};

class DecodeOther : public ::testing::TestWithParam<Other> {};

TEST_P(DecodeOther, KeepsStampAndBytes) {
    const Other& c = GetParam();
    const SelRecord record = sel::DecodeRecord(c.bytes.data());
    EXPECT_EQ(record.recordType, c.bytes[2]);
    EXPECT_EQ(static_cast<int>(record.stampKind), static_cast<int>(c.stamp));
    EXPECT_EQ(record.stamp, c.stampValue);
    EXPECT_EQ(record.message, c.message);
    EXPECT_EQ(record.eventDataHex, c.data);
    EXPECT_EQ(record.severity, ipmi::Severity::Info);
}

INSTANTIATE_TEST_SUITE_P(Table, DecodeOther, ::testing::ValuesIn(kOthers));

// Every sensor type, event type and offset gives a text (and, under the
// sanitizers, no read outside the tables).
TEST(DecodeRecordSweep, EveryTypeAndOffsetGivesAText) {
    for (int type = 0; type < 256; ++type)
        for (int eventType = 0; eventType < 128; ++eventType)
            for (int offset = 0; offset < 16; ++offset) {
                const Bytes bytes = systemEvent(static_cast<uint8_t>(type), 1, static_cast<uint8_t>(eventType),
                                                static_cast<uint8_t>(offset));
                const SelRecord record = sel::DecodeRecord(bytes.data());
                ASSERT_FALSE(record.message.empty()) << type << " " << eventType << " " << offset;
                ASSERT_FALSE(record.sensorType.empty());
            }
}

}  // namespace
