#include <gtest/gtest.h>

#include <algorithm>

#include "scripted_driver.h"
#include "tolm_decoder.h"
#include "vantlib/SPLibrary.h"

namespace {

// A reply: six header bytes, the event type, the event data, and the final
// byte that the reader clears.
Bytes event(unsigned char type, const Bytes& data) {
    Bytes reply(7 + data.size() + 1, 0);
    reply[0] = 0x11;
    reply[1] = 0x22;
    reply[6] = type;
    std::copy(data.begin(), data.end(), reply.begin() + 7);
    reply.back() = 0x99;
    return reply;
}

std::string decode(int boxId, const Bytes& reply) {
    resetDriver();
    driver().boxId = boxId;
    SPLibrary library;
    return decodeTolmEvent(TolmReply(reply.data(), static_cast<int>(reply.size())), library);
}

struct Case {
    int boxId;
    unsigned char type;
    Bytes data;   // from offset 7
    const char* text;
};

std::ostream& operator<<(std::ostream& out, const Case& c) {
    out << "box " << c.boxId << " type " << std::hex << int(c.type) << " data";
    for (unsigned char b : c.data) out << ' ' << int(b);
    return out;
}

class TolmEventText : public ::testing::TestWithParam<Case> {};

TEST_P(TolmEventText, IsExact) {
    const Case& c = GetParam();
    EXPECT_EQ(c.text, decode(c.boxId, event(c.type, c.data)));
}

INSTANTIATE_TEST_SUITE_P(
    Fans, TolmEventText,
    ::testing::Values(
        Case{1, 0xA2, {0x0F, 0x0B, 0x01}, "Fan 3 missing. Fan 1 failed."},
        Case{1, 0xA2, {0x0A, 0x00, 0x00}, "Fans 1, 2 missing. "},   // numbered by counting
        Case{2, 0xA2, {0x03, 0x03, 0x00}, "All fans present and functioning."},
        Case{2, 0xA2, {0x07, 0x07, 0x06}, "Fans 2, 3 failed."},
        Case{2, 0xA2, {0x01, 0x00, 0x01}, "Fan 1 missing. Fan 1 failed."},
        Case{1, 0xA2, {0x00, 0x00, 0xFF}, "All fans present and functioning."},   // nothing expected
        Case{4, 0xA2, {0xFF, 0x07, 0x05, 0x02}, "Fan 2 missing. Fan 2 failed."},
        Case{5, 0xA2, {0x00, 0x0C, 0x04, 0x00}, "Fan 2 missing. "},
        Case{6, 0xA2, {0x00, 0x03, 0x03, 0x03}, "Fans 1, 2 failed."},
        Case{0, 0xA2, {0xFF, 0xFF, 0x01, 0x01, 0x01, 0x00, 0x00, 0x01}, "Fan 2 missing. Fan 2 failed."},
        Case{3, 0xA2, {0x0F, 0x0F, 0x03, 0x00, 0x02, 0x00}, "Fan 1 missing. "},   // 16 bits at 9, not byte 7
        Case{7, 0xA2, {0, 0, 0xFF, 0xFF, 0x00, 0x00},
             "Fans 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16 missing. "},
        Case{0x101, 0xA2, {0x0F, 0x0B, 0x01}, "Fan 3 missing. Fan 1 failed."},   // low 8 bits: box 1
        Case{0x104, 0xA2, {0x00, 0x01, 0x00, 0x00}, "Fan 1 missing. "}));

INSTANTIATE_TEST_SUITE_P(
    PowerSupplies, TolmEventText,
    ::testing::Values(
        Case{1, 0xA3, {0x03, 0x01, 0x01, 0x00}, "Power supply 2 missing. Power supply 2 Fault. "},
        Case{5, 0xA3, {0x03, 0x03, 0x01, 0x02}, "Power supply 2 has AC Power Removed."},
        Case{2, 0xA3, {0x03, 0x03, 0x01, 0x00}, "All power supplies present and functioning."},
        Case{2, 0xA3, {0x03, 0x01, 0x00, 0x00}, "Power supply 2 missing. "},
        Case{3, 0xA3, {0x07, 0x07, 0x07, 0x06}, "Power supplies 2, 3 have AC Power Removed."},
        Case{3, 0xA3, {0x03, 0x03, 0x01, 0x02}, "Power supply 2 Fault. Power supply 2 has AC Power Removed."},
        Case{4, 0xA3, {0x07, 0x07, 0x00, 0x07},
             "Power supply 3 Fault. Power supplies 1, 2, 3 have AC Power Removed."},
        Case{6, 0xA3, {0x01, 0x00, 0x00, 0x01},
             "Power supply 1 missing. Power supply 1 Fault. Power supply 1 has AC Power Removed."},
        Case{1, 0xA3, {0x0F, 0x0C, 0x0F, 0x00}, "Power supplies 1, 2 missing. "},
        Case{0, 0xA3, {0x81, 0x81, 0x01, 0x00}, "Power supply 8 Fault. "},
        Case{7, 0xA3, {0x01, 0x01, 0x01, 0xFE}, "All power supplies present and functioning."}));

INSTANTIATE_TEST_SUITE_P(
    DasdBackplanes, TolmEventText,
    ::testing::Values(
        Case{0, 0xA5, {0x07, 0x05, 0x00, 0x01, 0x00, 0x00},
             "DASD backplane 1: device 1 missing. DASD backplane 2: device 12 missing. "},
        Case{1, 0xA5, {0x03, 0x03, 0x00, 0x00, 0x00, 0x00},
             "All DASD backplanes and devices present and functioning."},
        Case{2, 0xA5, {0x01, 0x03, 0x00}, ""},   // differs only where nothing is expected
        Case{3, 0xA5, {0x0F, 0x0F, 0x0A, 0x03, 0x03, 0x02},
             "DASD backplane 1: devices 1, 3 failed.DASD backplane 2: device 13 failed."},
        Case{5, 0xA5, {0x03, 0x01, 0x01}, "DASD backplane 1: device 1 missing. DASD backplane 1: device 0 failed."},
        Case{6, 0xA5, {0x00, 0x00, 0x00, 0xC0, 0x00, 0x00},
             "DASD backplane 2: devices 18, 19 missing. "}));

INSTANTIATE_TEST_SUITE_P(
    Vrms, TolmEventText,
    ::testing::Values(
        Case{2, 0xA6, {0x00, 0x03}, "VRMs on CPU 1, CPU 2 failed"},
        Case{5, 0xA6, {0x00, 0x01}, "VRM 1 failed"},
        Case{1, 0xA6, {0x00, 0x41}, "VRMs on CPU 1,  failed"},
        Case{0, 0xA6, {0x00, 0x00},
             "All system board voltages within normal ranges. All VRMs present and functioning."},
        Case{3, 0xA6, {0x01, 0x00}, "System board voltages not in normal range. "},
        Case{3, 0xA6, {0x80, 0x20}, "System board voltages not in normal range. VRM on Memory failed"},
        Case{1, 0xA6, {0x00, 0x30}, "VRMs on Planar, Memory failed"},
        Case{1, 0xA6, {0x00, 0x80}, "VRM on  failed"},
        Case{7, 0xA6, {0x00, 0x07}, "VRM 1, VRM 2, VRM 3 failed"},
        Case{4, 0xA6, {0x00, 0x09}, "VRM 1,  failed"},
        Case{6, 0xA6, {0x00, 0x0C}, "VRM 3 failed"}));

INSTANTIATE_TEST_SUITE_P(
    Temperatures, TolmEventText,
    ::testing::Values(
        Case{1, 0xA4, {0x02, 0x00, 0x00, 0x00}, "Over temperature: CPU 1. Warning threshold reached"},
        Case{1, 0xA4, {0x06, 0x00, 0x00, 0x01}, "Over temperature: Rsrvd thermal trip"},
        Case{3, 0xA4, {0x00, 0x00, 0x00, 0x00, 0x00, 0x03, 0x00},
             "Over temperature: Ambient, CPU Area. Server is powering off now"},
        Case{5, 0xA4, {0x00, 0x00, 0x00, 0x30}, "Over temperature: CPU 1, CPU 2 thermal trip"},
        Case{1, 0xA4, {0x82, 0x00, 0x00, 0x00}, "Over temperature: CPU 1, . Warning threshold reached"},
        Case{2, 0xA4, {0x01, 0x18, 0x00, 0x00},
             "Over temperature: DASD 1, DASD 2. Shutting down O/S and powering off server"},
        Case{0, 0xA4, {0xFF, 0xFF, 0x09, 0x00}, "Over temperature: Rsrvd, DASD 1. Server is powering off now"},
        Case{3, 0xA4, {0x01, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00},
             "Over temperature: CPU 1, PCI Area. Warning threshold reached"},
        Case{3, 0xA4, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x90}, "Over temperature: CPU 1, CPU 4 thermal trip"},
        Case{3, 0xA4, {0x00, 0x00, 0x01, 0x80, 0x00, 0x00, 0x00},
             "Over temperature: CPU 1, . Shutting down O/S and powering off server"},
        Case{3, 0xA4, {0xF0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00},
             "Over temperature: DASD 1, DASD 2, DASD 3, DASD 4. Warning threshold reached"},
        Case{3, 0xA4, {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x0F},
             "Over temperature: CPU 1, CPU 2, CPU 3, CPU 4 thermal trip"},
        Case{2, 0xA4, {0x00, 0x00, 0x00, 0x3E}, "Over temperature: CPU 1, CPU 2, DASD 1, DASD 2, DASD 3 thermal trip"},
        Case{2, 0xA4, {0x00, 0x00, 0x00, 0xC0}, "Over temperature: ,  thermal trip"},
        Case{4, 0xA4, {0x00, 0x00, 0x00, 0xCC}, "Over temperature: Rsrvd, Rsrvd, Rsrvd, Rsrvd thermal trip"},
        Case{7, 0xA4, {0x00, 0x00, 0x00, 0x03}, "Over temperature: CPU 1, CPU 2 thermal trip"},
        Case{6, 0xA4, {0x0F, 0x00, 0x00, 0x00},
             "Over temperature: Rsrvd, CPU 1, CPU 2, DASD 1. Warning threshold reached"},
        Case{6, 0xA4, {0x00, 0x00, 0x00, 0x00}, "System temperatures operating in normal range"},
        Case{3, 0xA4, {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}, "System temperatures operating in normal range"}));

INSTANTIATE_TEST_SUITE_P(
    Voltages, TolmEventText,
    ::testing::Values(
        Case{6, 0xA7, {0x83}, "Voltage fault: Emergency Power, OverSpec, Non-Redundant"},
        Case{0, 0xA7, {0x03}, "Voltage fault: Emergency Power, 5V A"},
        Case{2, 0xA7, {0x02}, "Voltage fault: "},
        Case{1, 0xA7, {0xC7}, "Voltage fault: 12V A, 5V A, 12V B, Non-Redundant, Overspec"},
        Case{1, 0xA7, {0x09}, "Voltage fault: 12V A, "},
        Case{2, 0xA7, {0xC1}, "Voltage fault: 240V-Amps, Non-Redundant, Overspec"},
        Case{4, 0xA7, {0x80}, "Voltage fault: Non-Redundant"},
        Case{5, 0xA7, {0x02}, "Voltage fault: OverSpec"},
        Case{3, 0xA7, {0xFF},
             "Voltage fault: Emergency Power, 5V A, 12V A, 12V B, 12V C, 12V D, 12V E, Non-Redundant"},
        Case{8, 0xA7, {0x40}, "Voltage fault: 12V E"},
        Case{5, 0xA7, {0x00}, "No voltage faults reported"}));

INSTANTIATE_TEST_SUITE_P(
    WatchdogSmiBios, TolmEventText,
    ::testing::Values(
        Case{0, 0xAD, {0x00}, "Server restarted:  POST watchdog timed out"},
        Case{3, 0xAD, {0x01}, "Server restarted:  O/S watchdog timed out"},
        Case{5, 0xAD, {0x02}, "Server restarted:  Unknown Watchdog Triggered."},
        Case{1, 0xAD, {0xFF}, "Server restarted:  Unknown Watchdog Triggered."},
        Case{1, 0xAE, {0x05}, "SMI s-error, CPU 1 error"},
        Case{4, 0xAE, {0xC0}, "Invalid configuration of microprocessors or VRMs, SMI RTC Update"},
        Case{3, 0xAE, {0x00}, "SMI "},
        Case{3, 0xAE, {0x7F},
             "SMI CPU 1 i-error, CPU 2 i-error, CPU 3 i-error, CPU 4 i-error, PCI 0 error, PCI 1 error, PCI 2 error"},
        Case{3, 0xAE, {0x81}, "SMI CPU 1 i-error, "},
        Case{5, 0xAE, {0x03}, "SMI CPU 1 Ierror, SMI CPU 2 Ierror"},
        Case{6, 0xAE, {0x00}, ""},
        Case{2, 0xAE, {0x0A}, "SMI p-error, CPU 2 error"},
        Case{0, 0xAE, {0x10}, "SMI "},
        Case{0, 0xE1, {'P', 'O', 'S', 'T'}, "BIOS message: POST"},
        Case{0, 0xE1, {0xFF, 'A'}, "Invalid log entry."},
        Case{0, 0xE1, {}, "BIOS message: "},
        Case{0, 0xE1, {'A', 'B', 0x00, 'C', 'D'}, "BIOS message: AB"},
        Case{0, 0xA8, {0xFF, 0xFF, 0xFF}, ""},
        Case{0, 0x00, {0xFF}, ""},
        Case{0, 0xA1, {0xFF}, ""}));

TEST(TolmDecoder, AsksForTheBoxIdOnlyWhenTheLayoutDependsOnIt) {
    struct Asked {
        unsigned char type;
        Bytes data;
        int asked;
    } cases[] = {{0xA2, {1, 1, 0}, 1}, {0xA3, {1, 1, 1, 0}, 1}, {0xA4, {0}, 1}, {0xA5, {1, 0}, 0},
                 {0xA6, {0, 1}, 1},    {0xA6, {0, 0}, 0},       {0xA7, {1}, 1},    {0xAD, {0}, 0},
                 {0xAE, {0}, 1},       {0xE1, {'A'}, 0},        {0x42, {0}, 0}};
    for (const Asked& c : cases) {
        decode(1, event(c.type, c.data));
        EXPECT_EQ(c.asked, driver().count("boxid")) << std::hex << int(c.type);
    }
}

TEST(TolmReply, ReadsZeroBeyondTheReplyAndClearsItsLastByte) {
    // A fan record cut short: the driver's buffer holds stale bytes beyond the reply.
    Bytes buffer = {0, 0, 0, 0, 0, 0, 0xA2, 0x0F, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    TolmReply shortReply(buffer.data(), 8);
    EXPECT_EQ(0, shortReply.byte(7)) << "the last byte is cleared";
    EXPECT_EQ(0, shortReply.byte(8)) << "beyond the reply";
    EXPECT_EQ(0, shortReply.byte(-1));
    resetDriver();
    SPLibrary library;
    EXPECT_EQ("All fans present and functioning.", decodeTolmEvent(shortReply, library));

    Bytes longReply(255, 0x41);
    TolmReply kept(longReply.data(), 255);
    EXPECT_EQ(0, kept.byte(0)) << "the record starts at offset 2";
    EXPECT_EQ(0x41, kept.byte(101));
    EXPECT_EQ(0, kept.byte(102)) << "at most 100 bytes are kept";
    EXPECT_EQ(255, kept.length());
    EXPECT_EQ(0x4141u, kept.word(100));
}

}  // namespace
