// The reader against scripted controllers: normal, empty and faulty logs.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scripted_controller.h"
#include "sel_reader.h"

namespace {

const char kDeviceId[] = "reply 06 01 00 20 81 02 25 02 BF 57 01 00 34 12\n";
// Version 1.5, entries as given, 0x0800 bytes free, reserve supported.
std::string selInfo(int entries, const char* flags = "02") {
    char line[96];
    std::snprintf(line, sizeof line, "reply 0A 40 00 51 %02X %02X 00 08 00 10 5E 5F 00 00 5E 5F %s\n", entries & 0xFF,
                  entries >> 8, flags);
    return line;
}
const char kSelTime[] = "reply 0A 48 00 00 20 5E 5F\n";
const char kReserve[] = "reply 0A 42 00 01 00\n";

// Get SEL Entry's answer: next ID, then a fan record with the given ID.
std::string entry(int id, int next) {
    char line[160];
    std::snprintf(line, sizeof line,
                  "reply 0A 43 00 %02X %02X %02X %02X 02 00 10 5E 5F 20 00 04 04 30 01 52 05 0A\n", next & 0xFF,
                  next >> 8, id & 0xFF, id >> 8);
    return line;
}

std::string normalStart(int entries) { return std::string(kDeviceId) + selInfo(entries) + kSelTime + kReserve; }

struct Case {
    const char* name;
    std::string script;
    std::vector<int> ids;          // record IDs read, in order
    const char* problem;           // a part of the one problem; empty: none
};

const Case kCases[] = {
    {"normal log", normalStart(3) + entry(1, 2) + entry(2, 3) + entry(3, 0xFFFF), {1, 2, 3}, ""},
    {"empty log", normalStart(0), {}, ""},
    {"reservation cancelled mid-read",
     normalStart(3) + entry(1, 2) + "reply 0A 43 C5\n" + kReserve + entry(2, 3) + entry(3, 0xFFFF), {1, 2, 3}, ""},
    {"reservation cancelled every time",
     normalStart(3) + entry(1, 2) + "reply 0A 43 C5\nreply 0A 43 C5\nreply 0A 43 C5\nreply 0A 43 C5\n" + kReserve +
         kReserve + kReserve,
     {1}, "SEL read stopped after 1 records: Get SEL Entry of record 0x0002 failed: completion code 0xC5"},
    {"next ID loops back", normalStart(3) + entry(1, 2) + entry(2, 1), {1, 2},
     "SEL read stopped after 2 records: the next record ID 0x0001 was read before"},
    {"record ID repeats", normalStart(3) + entry(1, 2) + entry(1, 3), {1},
     "SEL read stopped after 1 records: record ID 0x0001 came twice"},
    {"next ID jumps back to the first request", normalStart(3) + entry(5, 0), {5},
     "the next record ID 0x0000 was read before"},
    {"error completion code", normalStart(3) + entry(1, 2) + "reply 0A 43 CB\n", {1},
     "Get SEL Entry of record 0x0002 failed: completion code 0xCB (Requested sensor, data, or record not present)"},
    {"undefined completion code", normalStart(3) + "reply 0A 43 7E\n", {},
     "completion code 0x7E (not defined by the standard)"},
    {"controller stops answering", normalStart(3) + entry(1, 2), {1},
     "Get SEL Entry of record 0x0002 failed: no answer"},
    {"short entry reply", normalStart(3) + entry(1, 2) + "reply 0A 43 00 03 00 02 00 02\n", {1},
     "Get SEL Entry of record 0x0002 gave 5 bytes where 18 were expected"},
    {"long entry reply", normalStart(1) + "reply 0A 43 00 FF FF 01 00 02 00 10 5E 5F 20 00 04 04 30 01 52 05 0A EE EE\n",
     {1}, "gave 20 bytes where 18 were expected; the first 18 were read"},
    {"no reservations", std::string(kDeviceId) + selInfo(2, "00") + kSelTime + entry(1, 2) + entry(2, 0xFFFF), {1, 2},
     ""},
    {"reserve refused", std::string(kDeviceId) + selInfo(1) + kSelTime + "reply 0A 42 C1\n" + entry(1, 0xFFFF), {1}, ""},
    {"SEL Time fails", std::string(kDeviceId) + selInfo(1) + "reply 0A 48 D5\n" + kReserve + entry(1, 0xFFFF), {1}, ""},
    {"SEL Info fails", std::string(kDeviceId) + "reply 0A 40 C1\n", {},
     "Get SEL Info failed: completion code 0xC1 (Invalid command); the SEL was not read"},
    {"SEL Info short", std::string(kDeviceId) + "reply 0A 40 00 51 01\n", {},
     "Get SEL Info gave 2 bytes where 14 were expected; the SEL was not read"},
    {"Device ID refused, log read", "reply 06 01 C1\n" + selInfo(1) + kSelTime + kReserve + entry(1, 0xFFFF), {1},
     "Get Device ID failed: completion code 0xC1 (Invalid command)"},
};

class ReadSel : public ::testing::TestWithParam<Case> {};

TEST_P(ReadSel, ReadsTheChainAndSaysWhyItStopped) {
    const Case& c = GetParam();
    ScriptedController controller;
    bool present = false;
    std::string error;
    ASSERT_TRUE(ScriptedController::Parse(c.script, &controller, &present, &error)) << error;
    const SelReadResult read = sel::ReadSel(controller);
    EXPECT_TRUE(read.answered);
    std::vector<int> ids;
    for (const SelRecord& record : read.records) ids.push_back(record.recordId);
    EXPECT_EQ(ids, c.ids);
    if (*c.problem) {
        ASSERT_EQ(read.problems.size(), 1u);
        EXPECT_NE(read.problems[0].find(c.problem), std::string::npos) << read.problems[0];
    } else {
        EXPECT_TRUE(read.problems.empty()) << read.problems[0];
    }
}

INSTANTIATE_TEST_SUITE_P(Table, ReadSel, ::testing::ValuesIn(kCases), [](const ::testing::TestParamInfo<Case>& info) {
    std::string name = info.param.name;
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
});

TEST(ReadSelFacts, IdentityInfoAndClockAsTheControllerGaveThem) {
    ScriptedController controller;
    bool present = false;
    std::string error;
    ASSERT_TRUE(ScriptedController::Parse(normalStart(1) + entry(1, 0xFFFF), &controller, &present, &error));
    const SelReadResult read = sel::ReadSel(controller);
    EXPECT_EQ(read.controller.firmwareVersion, "2.25");
    EXPECT_EQ(read.controller.ipmiVersion, "2.0");
    EXPECT_EQ(read.controller.manufacturerId, 343u);   // 57 01 00
    EXPECT_EQ(read.controller.productId, 0x1234);
    EXPECT_EQ(read.info.version, "1.5");
    EXPECT_EQ(read.info.entries, 1);
    EXPECT_EQ(read.info.freeBytes, 0x0800);
    EXPECT_EQ(read.info.lastAddStamp, 0x5F5E1000u);
    EXPECT_TRUE(read.info.reserveSupported);
    EXPECT_FALSE(read.info.overflow);
    EXPECT_TRUE(read.clockKnown);
    EXPECT_EQ(read.controllerClock, 0x5F5E2000u);
}

TEST(ReadSelFacts, NoControllerAnswers) {
    ScriptedController controller;   // answers nothing
    const SelReadResult read = sel::ReadSel(controller);
    EXPECT_FALSE(read.answered);
    EXPECT_TRUE(read.problems.empty());
}

// A controller whose chain never ends is held to the record bound and to the
// bound on the whole read, whichever comes first.
class EndlessController : public IpmiTransport {
public:
    IpmiReply request(uint8_t netfn, uint8_t cmd, const std::vector<uint8_t>& data) override {
        IpmiReply reply;
        reply.outcome = IpmiReply::Outcome::Answered;
        if (netfn == sel::kNetFnApp) {
            reply.data.assign(11, 0);
        } else if (cmd == sel::kGetSelInfo) {
            reply.data = {0x51, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x80};
        } else if (cmd == sel::kGetSelEntry) {
            const uint16_t id = static_cast<uint16_t>(data[2] | (data[3] << 8));
            const uint16_t next = static_cast<uint16_t>(id + 1);
            reply.data = {static_cast<uint8_t>(next), static_cast<uint8_t>(next >> 8), static_cast<uint8_t>(id),
                          static_cast<uint8_t>(id >> 8), 0xE0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
        } else {
            reply.completionCode = 0xC1;
        }
        ++requests;
        return reply;
    }
    int requests = 0;
};

TEST(ReadSelBounds, ReadsTheLargestLogWhole) {
    EndlessController controller;   // IDs 0 to 0xFFFE, then the end mark
    const SelReadResult read = sel::ReadSel(controller);
    EXPECT_EQ(read.records.size(), 65535u);
    EXPECT_TRUE(read.problems.empty());
    EXPECT_TRUE(read.info.overflow);
}

TEST(ReadSelBounds, StopsAtTheRecordBound) {
    EndlessController controller;
    SelReadLimits limits;
    limits.maxRecords = 100;
    const SelReadResult read = sel::ReadSel(controller, limits);
    EXPECT_EQ(read.records.size(), 100u);
    ASSERT_EQ(read.problems.size(), 1u);
    EXPECT_EQ(read.problems[0], "SEL read stopped after 100 records: no log holds more than 100 records");
}

TEST(ReadSelBounds, StopsAtTheTimeBound) {
    EndlessController controller;
    SelReadLimits limits;
    int64_t now = 0;
    limits.wholeReadMs = 1000;
    limits.nowMs = [&now]() { return now += 10; };   // every look at the clock is 10 ms later
    const SelReadResult read = sel::ReadSel(controller, limits);
    ASSERT_EQ(read.problems.size(), 1u);
    EXPECT_NE(read.problems[0].find("the read took longer than 1 s"), std::string::npos);
    EXPECT_LT(read.records.size(), 101u);
}

struct BadScript {
    const char* text;
    const char* error;
};

const BadScript kBadScripts[] = {
    {"reply 0A 43\n", "line 1 is not understood"},
    {"# fine\nreply 0A 43 0\n", "line 2 is not understood"},
    {"reply 0A 43 00 GG\n", "line 1 is not understood"},
    {"reply 0A 43 silent 00\n", "line 1 is not understood"},
    {"none extra\n", "line 1 is not understood"},
    {"replies 0A 43 00\n", "line 1 is not understood"},
};

TEST(ScriptedControllerParse, RefusesMalformedLinesByNumber) {
    for (const BadScript& bad : kBadScripts) {
        ScriptedController controller;
        bool present = false;
        std::string error;
        EXPECT_FALSE(ScriptedController::Parse(bad.text, &controller, &present, &error)) << bad.text;
        EXPECT_EQ(error, bad.error) << bad.text;
    }
}

TEST(ScriptedControllerParse, AnswersInOrderThenFallsSilent) {
    ScriptedController controller;
    bool present = false;
    std::string error;
    ASSERT_TRUE(ScriptedController::Parse("reply 0A 48 00 01\nreply 0A 48 silent\nreply 0A 48 C0  # busy\n", &controller,
                                          &present, &error));
    EXPECT_TRUE(present);
    const IpmiReply first = controller.request(0x0A, 0x48, {});
    EXPECT_EQ(first.outcome, IpmiReply::Outcome::Answered);
    EXPECT_EQ(first.data, std::vector<uint8_t>{0x01});
    EXPECT_EQ(controller.request(0x0A, 0x48, {}).outcome, IpmiReply::Outcome::NoReply);
    EXPECT_EQ(controller.request(0x0A, 0x48, {}).completionCode, 0xC0);
    EXPECT_EQ(controller.request(0x0A, 0x48, {}).outcome, IpmiReply::Outcome::NoReply);
    EXPECT_TRUE(ScriptedController::Parse("none\n", &controller, &present, &error));
    EXPECT_FALSE(present);
}

}  // namespace
