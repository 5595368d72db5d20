#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

#include "env_var.h"
#include "vantlib/SPLibrary.h"
#include "wyxcore/logger.h"
#include "wyxcore/root_object.h"

namespace {

typedef std::vector<unsigned char> Bytes;

const unsigned char kClock[] = {4, 4, 1};
const unsigned char kZone[] = {4, 4, 2};
const unsigned char kLog[] = {3, 2};
const unsigned char kNoData[] = {0};

class Simulator : public ::testing::Test {
protected:
    void TearDown() override { testsupport::UnsetEnv("VANT_SP_IMAGE"); }

    void useImage(const std::string& name, const std::string& text) {
        std::ofstream(name, std::ios::binary) << text;
        testsupport::SetEnv("VANT_SP_IMAGE", name);
    }

    // One dot command; returns the reply bytes, or "fail" semantics through ok.
    Bytes dot(SPLibrary& sp, unsigned char code, const unsigned char* path, int pathLength, int processor,
              bool* ok, int* length, int capacity = 2048) {
        dotCmd command(code, pathLength, 0, path, kNoData);
        std::vector<unsigned char> reply(2048, 0);
        *ok = sp.sendDotCommand(&command, reply.data(), length, processor, capacity);
        return Bytes(reply.begin(), reply.begin() + (*length > 0 ? *length : 0));
    }
};

TEST_F(Simulator, NoImageMeansNoServiceProcessor) {
    testsupport::UnsetEnv("VANT_SP_IMAGE");
    SPLibrary sp;
    EXPECT_FALSE(sp.isDotcommand());
    EXPECT_FALSE(sp.isTolm());
    EXPECT_EQ(0, sp.discoverSPs());
    TolmCmd first(2, 0x90, 0x90, 0x56, nullptr, 0, true, false);
    int length = 33;
    unsigned char reply[255] = {0};
    EXPECT_FALSE(sp.sendTolmCommand(&first, &length, reply));
}

TEST_F(Simulator, AnswersTheKindQuestions) {
    useImage("sim_kind.img", "kind tolm\nqmxstop no\nulklibrary yes\nboxid 5\n");
    SPLibrary sp;
    EXPECT_TRUE(sp.isTolm());
    EXPECT_FALSE(sp.isDotcommand());
    EXPECT_FALSE(sp.checkSPComm());
    EXPECT_FALSE(sp.isQmxStop());
    EXPECT_TRUE(sp.isUlklibrary());
    EXPECT_EQ(5, sp.gettolmBoxID());
    std::string firmware = "kept";
    EXPECT_FALSE(sp.getFirmwareVersion(&firmware));   // the image states none
    EXPECT_EQ("kept", firmware);
}

TEST_F(Simulator, StatesTheFirmwareVersionOfAProcessorOnly) {
    const struct {
        const char* image;
        bool stated;
        const char* version;
    } cases[] = {
        {"kind dot\nfirmware A1.02 (2026)\n", true, "A1.02 (2026)"},
        {"kind tolm\nfirmware 7\n", true, "7"},
        {"kind none\nfirmware 7\n", false, ""},   // no processor to ask
    };
    for (const auto& c : cases) {
        useImage("sim_firmware.img", c.image);
        SPLibrary sp;
        std::string version;
        EXPECT_EQ(c.stated, sp.getFirmwareVersion(&version)) << c.image;
        EXPECT_EQ(c.version, version) << c.image;
    }
}

TEST_F(Simulator, DotProcessorsAnswerClockZoneAndLog) {
    useImage("sim_dot.img",
             "kind dot\ncomm ok\n"
             "processor\nclock 1A 0C 0E 00 0A 1E 00\ntimezone 0C FE\nentry 01 02 03\nentry fail\nentry 04\n"
             "processor\nclock empty\nentry 09\n");
    SPLibrary sp;
    ASSERT_TRUE(sp.isDotcommand());
    ASSERT_TRUE(sp.checkSPComm());
    ASSERT_EQ(2, sp.discoverSPs());
    bool ok = false;
    int length = 1;
    EXPECT_EQ((Bytes{0x1A, 0x0C, 0x0E, 0x00, 0x0A, 0x1E, 0x00}), dot(sp, 2, kClock, 3, 0, &ok, &length));
    EXPECT_TRUE(ok);
    EXPECT_EQ((Bytes{0x0C, 0xFE}), dot(sp, 2, kZone, 3, 0, &ok, &length));
    EXPECT_EQ((Bytes{1, 2, 3}), dot(sp, 2, kLog, 2, 0, &ok, &length));
    EXPECT_TRUE(ok);
    dot(sp, 3, kLog, 2, 0, &ok, &length);
    EXPECT_FALSE(ok);
    EXPECT_EQ(3, length) << "a failed send leaves the length as it was";
    EXPECT_EQ(Bytes{4}, dot(sp, 3, kLog, 2, 0, &ok, &length));
    EXPECT_TRUE(dot(sp, 3, kLog, 2, 0, &ok, &length).empty());
    EXPECT_TRUE(ok);
    EXPECT_EQ(0, length);
    EXPECT_TRUE(dot(sp, 3, kLog, 2, 0, &ok, &length).empty()) << "the end repeats";
    EXPECT_TRUE(ok);
    EXPECT_EQ((Bytes{1, 2, 3}), dot(sp, 2, kLog, 2, 0, &ok, &length)) << "first entry starts over";

    // Second processor: empty clock, failing time zone by default.
    length = 7;
    dot(sp, 2, kClock, 3, 1, &ok, &length);
    EXPECT_TRUE(ok);
    EXPECT_EQ(0, length);
    length = 7;
    dot(sp, 2, kZone, 3, 1, &ok, &length);
    EXPECT_FALSE(ok);
    EXPECT_EQ(7, length);
    EXPECT_EQ(Bytes{9}, dot(sp, 2, kLog, 2, 1, &ok, &length));
}

TEST_F(Simulator, DotRejectsWhatItDoesNotKnow) {
    useImage("sim_reject.img", "kind dot\nprocessor\nclock 01 02 03 04 05 06 07\nentry 01 02 03 04\n");
    SPLibrary sp;
    bool ok = true;
    int length = 5;
    dot(sp, 2, kClock, 3, 1, &ok, &length);
    EXPECT_FALSE(ok) << "processor index out of range";
    dot(sp, 2, kClock, 3, -1, &ok, &length);
    EXPECT_FALSE(ok);
    const unsigned char other[] = {4, 4, 3};
    dot(sp, 2, other, 3, 0, &ok, &length);
    EXPECT_FALSE(ok) << "unknown path";
    dot(sp, 7, kLog, 2, 0, &ok, &length);
    EXPECT_FALSE(ok) << "unknown code";
    EXPECT_EQ(5, length);
    EXPECT_EQ((Bytes{1, 2}), dot(sp, 2, kLog, 2, 0, &ok, &length, 2)) << "never more than the capacity";
    EXPECT_EQ(2, length);
}

TEST_F(Simulator, TolmLogFirstAndNextEntries) {
    std::string longEntry = "entry";
    for (int i = 0; i < 300; ++i) longEntry += " AB";
    useImage("sim_tolm.img", "kind tolm\nentry 00 00 00 00 00 01 A2\nentry fail 01 02 03 04 05\n" + longEntry +
                                 "\nentry fail\n");
    SPLibrary sp;
    TolmCmd first(2, 0x90, 0x90, 0x56, nullptr, 0, true, false);
    TolmCmd next(2, 0x10, 0x90, 0xF0, nullptr, 0, true, false);
    TolmCmd other(2, 0x10, 0x90, 0x57, nullptr, 0, true, false);
    std::vector<unsigned char> reply(255, 0);
    int length = 33;
    EXPECT_TRUE(sp.sendTolmCommand(&first, &length, reply.data()));
    EXPECT_EQ(7, length);
    EXPECT_EQ(0xA2, reply[6]);
    length = 33;
    EXPECT_FALSE(sp.sendTolmCommand(&next, &length, reply.data()));
    EXPECT_EQ(5, length) << "a failed Tolm send delivers its bytes all the same";
    EXPECT_EQ(5, reply[4]);
    length = 33;
    EXPECT_TRUE(sp.sendTolmCommand(&next, &length, reply.data()));
    EXPECT_EQ(255, length) << "never more than the 255-byte buffer";
    length = 33;
    EXPECT_FALSE(sp.sendTolmCommand(&next, &length, reply.data()));
    EXPECT_EQ(0, length);
    length = 33;
    EXPECT_TRUE(sp.sendTolmCommand(&next, &length, reply.data()));
    EXPECT_EQ(0, length) << "after the last entry: success, empty";
    length = 33;
    EXPECT_FALSE(sp.sendTolmCommand(&other, &length, reply.data()));
    EXPECT_EQ(33, length);
    EXPECT_TRUE(sp.sendTolmCommand(&first, &length, reply.data()));
    EXPECT_EQ(7, length) << "the first-entry command starts over";
}

TEST_F(Simulator, MalformedImageIsReportedWithItsLineAndIgnored) {
    ILogger* log = TRootObject::GetCoreLogger();
    log->ClearEntries();
    useImage("sim_bad.img", "kind dot\nprocessor\nclock 01 0x2\n");
    SPLibrary sp;
    EXPECT_FALSE(sp.isDotcommand());
    EXPECT_EQ(0, sp.discoverSPs());
    const std::vector<TLogEntry> entries = log->GetEntries();
    ASSERT_EQ(1u, entries.size());
    EXPECT_EQ(0, entries[0].type);
    EXPECT_EQ("VANT_SP_IMAGE sim_bad.img: line 3: '0x2' is not a hex byte; no service processor simulated",
              entries[0].message);

    log->ClearEntries();
    testsupport::SetEnv("VANT_SP_IMAGE", "no_such_image.img");
    SPLibrary missing;
    EXPECT_FALSE(missing.isTolm());
    ASSERT_EQ(1u, log->GetEntries().size());
    EXPECT_EQ("VANT_SP_IMAGE no_such_image.img: cannot be read; no service processor simulated",
              log->GetEntries()[0].message);
    log->ClearEntries();
}

// Several collectors make their own driver object in one run: each fault of
// the image reaches the log once, a new fault once more.
TEST_F(Simulator, AFaultOfTheImageIsReportedOncePerProcess) {
    ILogger* log = TRootObject::GetCoreLogger();
    log->ClearEntries();
    const struct {
        const char* image;
        size_t reports;   // log entries after the driver objects of this row
    } rows[] = {
        {"kind dot\nprocessor\nclock 1A 0C GG\n", 1},
        {"kind dot\nprocessor\nclock 1A 0C GG\n", 1},
        {"kind tolm\nboxid x\n", 2},
        {"kind dot\nprocessor\nclock 1A 0C GG\n", 2},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.image);
        useImage("sim_once.img", row.image);
        SPLibrary first, second;
        second = first;
        EXPECT_FALSE(second.isDotcommand() || second.isTolm());
        EXPECT_EQ(row.reports, log->GetEntries().size());
    }
    const std::vector<TLogEntry> entries = log->GetEntries();
    ASSERT_EQ(2u, entries.size());
    EXPECT_EQ("VANT_SP_IMAGE sim_once.img: line 3: 'GG' is not a hex byte; no service processor simulated",
              entries[0].message);
    EXPECT_NE(entries[0].message, entries[1].message);
    log->ClearEntries();
}

TEST(Commands, KeepTheirBytesAndCopyDeeply) {
    unsigned char data[] = {7, 8, 9};
    TolmCmd a(2, 0x90, 0x90, 0x56, data, 3, true, false);
    TolmCmd b(1, 2, 3, 4, nullptr, 0, false, true);
    data[0] = 0;
    EXPECT_EQ(7, a.data()[0]) << "the command owns a copy";
    b = a;
    EXPECT_EQ(3, b.dataLength());
    EXPECT_NE(a.data(), b.data());
    EXPECT_EQ(0x56, b.subCommand());
    EXPECT_TRUE(b.expectReply());
    EXPECT_FALSE(b.broadcast());

    const unsigned char path[] = {3, 2};
    dotCmd d(3, 2, 0, path, kNoData);
    EXPECT_EQ(3, d.code());
    EXPECT_EQ((Bytes{3, 2}), d.path());
    EXPECT_TRUE(d.data().empty());
    dotCmd e(2, -1, -5, nullptr, nullptr);
    EXPECT_TRUE(e.path().empty());
    e = d;
    EXPECT_EQ(d.path(), e.path());
}

}  // namespace
