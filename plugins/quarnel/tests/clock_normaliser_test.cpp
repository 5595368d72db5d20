#include <algorithm>

#include "test_support.h"
#include "ulk_log.h"
#include "ulk_test_support.h"
#include "vantlib/SPLibrary.h"
#include "wyxcore/os_specific.h"

namespace {

typedef std::vector<std::string> Texts;

const char kHeavyHitter[] = "The difference between the System clock and SP clock is greater than 24 hours.";

class ClockNormalisation : public QuarnelTest {
protected:
    void SetUp() override {
        QuarnelTest::SetUp();
        fake().pluginPath = "clk_quarnel" + TOSSpecific::kPluginExtension;
        writeFile("clk_quarnelentry.txt", shippedFormat());
    }
    // A processor with one entry per item of entries.
    void addProcessor(const ScriptedReply& clock, const ScriptedReply& zone, const std::vector<UlkEntry>& entries) {
        ScriptedProcessor p;
        p.clock = clock;
        p.timezone = zone;
        for (const UlkEntry& e : entries) p.entries.push_back(reply(e.bytes()));
        driver().processors.push_back(p);
    }
    int read() {
        SPLibrary library;
        return getDotcommandlog(library, kPlugin, kContainer);
    }
    std::string stamp(size_t i) const { return fake().instances.at(i).get("MessageTimestamp"); }
    static std::string statusLine(const TCIMDateTime& system, const TCIMDateTime& sp) {
        return "System clock is " + system.ToUIString() + " (UTC offset " +
               std::to_string(static_cast<int16_t>(system.GetUTCOffset())) + "). SP clock is " + sp.ToUIString() +
               " (UTC offset " + std::to_string(static_cast<int16_t>(sp.GetUTCOffset())) + ").";
    }
};

TEST_F(ClockNormalisation, EqualClocksLeaveTimeStampsAlone) {
    addProcessor(reply(clockBytes(2026, 12, 8, 10, 0, 0)), reply(Bytes{100, 0}), {UlkEntry()});
    EXPECT_EQ(0, read());
    TCIMDateTime zero;
    zero.Set(0, 0, 0, 0, 0);
    EXPECT_EQ((Texts{"Normalizing ULK Event logs by " + zero.ToUIString() + ".",
                     statusLine(point(2026, 12, 8, 10, 0, 0, 60), point(2026, 12, 8, 10, 0, 0, 60))}),
              fake().texts(2));
    EXPECT_EQ("2026-12-01 08:30:15 +60", stamp(0));
    EXPECT_FALSE(fake().logged(kHeavyHitter, 100));
    // The readings as data: the reports take the clock difference from them.
    ASSERT_EQ(1u, fake().facts.size());
    const FakeInstance& clock = fake().facts[0];
    EXPECT_EQ((Texts{"0", "20261208100000.000000+060", "20261208100000.000000+060", "00000000000000.000000:000"}),
              (Texts{clock.get("Processor"), clock.get("SystemClock"), clock.get("ServiceProcessorClock"),
                     clock.get("Difference")}));
}

struct Shift {
    const char* name;
    Bytes clock, zone;
    const char* stamp;
    bool heavyHitter;
};

class ClockShift : public ClockNormalisation, public ::testing::WithParamInterface<Shift> {};

// The system clock stands at 2026-12-08 10:00:00 UTC+1; the entry at 2026-12-01 08:30:15.
TEST_P(ClockShift, MovesEntriesOntoTheSystemClock) {
    addProcessor(reply(GetParam().clock), reply(GetParam().zone), {UlkEntry(), UlkEntry()});
    EXPECT_EQ(0, read());
    EXPECT_EQ(GetParam().stamp, stamp(0));
    EXPECT_EQ(GetParam().stamp, stamp(1));
    EXPECT_EQ(GetParam().heavyHitter, fake().logged(kHeavyHitter, 100));
    EXPECT_TRUE(fake().texts(1).empty());
}

INSTANTIATE_TEST_SUITE_P(
    Table, ClockShift,
    ::testing::Values(
        Shift{"ThirtyHoursBehind", clockBytes(2026, 12, 7, 4, 0, 0), {100, 0}, "2026-12-02 14:30:15 +60", true},
        Shift{"TwoHoursAhead", clockBytes(2026, 12, 8, 12, 0, 0), {100, 0}, "2026-12-01 06:30:15 +60", false},
        Shift{"ExactlyOneDay", clockBytes(2026, 12, 7, 10, 0, 0), {100, 0}, "2026-12-02 08:30:15 +60", false},
        Shift{"OneDayAndASecond", clockBytes(2026, 12, 7, 9, 59, 59), {100, 0}, "2026-12-02 08:30:16 +60", true},
        Shift{"YearsAhead", clockBytes(2030, 12, 8, 10, 0, 0), {100, 0}, "2022-12-01 08:30:15 +60", true},
        Shift{"ZoneMinus500", clockBytes(2026, 12, 8, 4, 0, 0), {0x0C, 0xFE}, "2026-12-01 08:30:15 -300", false},
        Shift{"Zone550", clockBytes(2026, 12, 8, 14, 30, 0), {0x26, 0x02}, "2026-12-01 08:30:15 +330", false},
        Shift{"ZoneMinus350", clockBytes(2026, 12, 8, 5, 30, 0), {0xA2, 0xFE}, "2026-12-01 08:30:15 -210", false},
        Shift{"ZoneOneByte", clockBytes(2026, 12, 8, 10, 0, 0), {100}, "2026-12-01 08:30:15 +60", false}),
    [](const ::testing::TestParamInfo<Shift>& info) { return info.param.name; });

TEST_F(ClockNormalisation, StatusLinesShowTheProcessorOffset) {
    addProcessor(reply(clockBytes(2026, 12, 8, 4, 0, 0)), reply(Bytes{0x0C, 0xFE}), {});
    EXPECT_EQ(0, read());
    ASSERT_EQ(2u, fake().texts(2).size());
    EXPECT_EQ(statusLine(point(2026, 12, 8, 10, 0, 0, 60), point(2026, 12, 8, 4, 0, 0, -300)), fake().texts(2)[1]);
    EXPECT_NE(std::string::npos, fake().texts(2)[1].find("(UTC offset -300)."));
}

TEST_F(ClockNormalisation, UnreadableClock) {
    const ScriptedReply clocks[] = {failedReply(), reply(Bytes())};
    for (const ScriptedReply& clock : clocks) {
        fake().reset();
        resetDriver();
        fake().pluginPath = "clk_quarnel" + TOSSpecific::kPluginExtension;
        addProcessor(clock, reply(Bytes{0x0C, 0xFE}), {UlkEntry()});
        EXPECT_EQ(0, read());
        EXPECT_EQ((Texts{"could not read SP clock - can not normalize datetime in log entry"}), fake().texts(1));
        EXPECT_EQ(0, driver().count("dot 0 zone")) << "no time-zone command";
        EXPECT_TRUE(fake().texts(2).empty());
        EXPECT_EQ("2026-12-01 08:30:15 +0", stamp(0)) << "the processor's time, offset 0";
    }
}

TEST_F(ClockNormalisation, UnreadableTimeZone) {
    const ScriptedReply zones[] = {failedReply(), reply(Bytes())};
    for (const ScriptedReply& zone : zones) {
        fake().reset();
        resetDriver();
        fake().pluginPath = "clk_quarnel" + TOSSpecific::kPluginExtension;
        addProcessor(reply(clockBytes(2026, 12, 8, 9, 0, 0)), zone, {UlkEntry()});
        EXPECT_EQ(0, read());
        EXPECT_EQ((Texts{"could not read SP timezone - will try to normalize without timezone"}), fake().texts(1));
        EXPECT_EQ(2u, fake().texts(2).size()) << "normalised all the same";
        EXPECT_EQ("2026-12-01 08:30:15 +0", stamp(0));
    }
}

TEST_F(ClockNormalisation, ClockThatTheFrameworkRejects) {
    addProcessor(reply(clockBytes(2026, 0, 8, 10, 0, 0)), reply(Bytes{100, 0}), {UlkEntry()});
    EXPECT_EQ(0, read());
    EXPECT_EQ((Texts{"Could not obtain time difference between OS and SP clocks (due to caught exception status 7)."}),
              fake().texts(2));
    EXPECT_EQ("2026-12-01 08:30:15 +60", stamp(0)) << "not normalised";
    EXPECT_TRUE(fake().texts(1).empty());
}

TEST_F(ClockNormalisation, EntriesWithoutADateGetTheDefault) {
    UlkEntry monthZero, dayThirtyTwo, good;
    monthZero.month = 0;
    dayThirtyTwo.day = 32;
    addProcessor(reply(clockBytes(2026, 12, 7, 4, 0, 0)), reply(Bytes{100, 0}), {monthZero, good, dayThirtyTwo});
    EXPECT_EQ(0, read());
    EXPECT_EQ("1970-01-02 00:00:00 +0", stamp(0)) << "not moved";
    EXPECT_EQ("2026-12-02 14:30:15 +60", stamp(1));
    EXPECT_EQ("1970-01-02 00:00:00 +0", stamp(2));
    const Texts debug = fake().texts(3);
    EXPECT_EQ(2, std::count(debug.begin(), debug.end(),
                            "Setting the Log Entry date/time to default 1/2/1970 (due to caught exception status 7)."));
    EXPECT_EQ((Texts{"2 ULK log entries were set to the default value of 1/2/1970 due to error in obtaining the "
                     "date/time."}),
              fake().texts(1));
}

TEST_F(ClockNormalisation, EntriesThatCannotBeMovedKeepTheProcessorTime) {
    setSystemTime(point(9999, 12, 31, 23, 0, 0, 0));
    UlkEntry early, late;
    early.year = 1;
    late.year = 255;
    addProcessor(reply(clockBytes(2000, 1, 1, 0, 0, 0)), reply(Bytes{0, 0}), {early, late});
    EXPECT_EQ(0, read());
    EXPECT_TRUE(fake().logged(kHeavyHitter, 100));
    EXPECT_EQ("2001-12-01 08:30:15 +0", stamp(0));
    EXPECT_EQ("2255-12-01 08:30:15 +0", stamp(1));
    const Texts debug = fake().texts(3);
    EXPECT_EQ(2, std::count(debug.begin(), debug.end(), "Unable to add DiffTime due to caught exception status 7."));
    EXPECT_EQ((Texts{"2 ULK log entries were not normalized to the system clock  due to error in adding the time "
                     "difference between SP clock and system clock."}),
              fake().texts(1));
}

TEST_F(ClockNormalisation, TimeStampThatCannotBeAddedIsLeftOut) {
    addProcessor(reply(clockBytes(2026, 12, 8, 10, 0, 0)), reply(Bytes{100, 0}), {UlkEntry(), UlkEntry()});
    fake().inject("wyxSetDateTime", 1, FakeFramework::Throw);
    EXPECT_EQ(0, read());
    ASSERT_EQ(2u, fake().instances.size());
    EXPECT_FALSE(fake().instances[0].has("MessageTimestamp"));
    EXPECT_EQ("SP" + std::string(14, ' '), fake().instances[0].get("LoggingSource")) << "decoding goes on";
    EXPECT_EQ("2026-12-01 08:30:15 +60", stamp(1));
    EXPECT_TRUE(fake().logged("Unable to add DateTimeProperty due to caught exception status 7.", 3));
}

TEST_F(ClockNormalisation, RefusedTimeStampEndsTheRead) {
    addProcessor(reply(clockBytes(2026, 12, 8, 10, 0, 0)), reply(Bytes{100, 0}), {UlkEntry(), UlkEntry()});
    fake().inject("wyxAddDateTimeProperty MessageTimestamp", 2);
    EXPECT_EQ(3, read());
    EXPECT_EQ((Texts{"Error adding MessageTimestamp for VARNSG_Quarnel"}), fake().texts(0));
    ASSERT_EQ(2u, fake().instances.size());
    EXPECT_EQ(8u, fake().instances[1].properties.size()) << "up to Time";
}

TEST_F(ClockNormalisation, EachProcessorHasItsOwnClock) {
    UlkEntry e;
    addProcessor(reply(clockBytes(2026, 12, 8, 4, 0, 0)), reply(Bytes{0x0C, 0xFE}), {e});
    addProcessor(reply(clockBytes(2026, 12, 8, 8, 0, 0)), failedReply(), {e});
    // A short clock reply reads zeros beyond it.
    addProcessor(reply(Bytes{26, 12, 8}), reply(Bytes{0, 0}), {e});
    EXPECT_EQ(0, read());
    EXPECT_EQ("2026-12-01 08:30:15 -300", stamp(0));
    EXPECT_EQ("2026-12-01 09:30:15 +0", stamp(1)) << "offset 0, moved one hour";
    const Texts status = fake().texts(2);
    ASSERT_EQ(6u, status.size());
    EXPECT_EQ(statusLine(point(2026, 12, 8, 10, 0, 0, 60), point(2026, 12, 8, 8, 0, 0, 0)), status[3]);
    EXPECT_EQ(statusLine(point(2026, 12, 8, 10, 0, 0, 60), point(2026, 12, 8, 0, 0, 0, 0)), status[5]);
}

}  // namespace
