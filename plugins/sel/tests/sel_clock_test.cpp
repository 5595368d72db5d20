// Record stamps moved from the controller's clock onto the system's.
#include <gtest/gtest.h>

#include "sel_clock.h"
#include "wyxcore/logger.h"

namespace {

TCIMDateTime at(int year, int month, int day, int hour, int minute, int second, int offset = 0) {
    TCIMDateTime point;
    point.Set(year, month, day, hour, minute, second, 0, offset);
    return point;
}

const uint32_t k2020 = 1600000000;   // 2020-09-13 12:26:40 UTC

struct Case {
    const char* name;
    TCIMDateTime system;
    uint32_t controller;
    uint32_t stamp;
    bool placed;
    const char* corrected;   // DMTF text
    size_t lines;            // run-log lines: 2, and the heavy hitter beyond a day
};

const Case kCases[] = {
    {"clocks agree", at(2020, 9, 13, 12, 26, 40), k2020, k2020 - 60, true, "20200913122540.000000+000", 2},
    {"controller an hour behind", at(2020, 9, 13, 13, 26, 40), k2020, k2020 - 60, true, "20200913132540.000000+000", 2},
    {"controller a day and a second ahead", at(2020, 9, 12, 12, 26, 39), k2020, k2020, true,
     "20200912122639.000000+000", 3},
    {"system clock in another zone", at(2020, 9, 13, 14, 26, 40, 120), k2020, k2020 + 5, true,
     "20200913122645.000000+000", 2},
    {"pre-init stamp has no time", at(2020, 9, 13, 12, 26, 40), k2020, 0x1FFFFFFF, false, "", 2},
    {"unspecified stamp has no time", at(2020, 9, 13, 12, 26, 40), k2020, 0xFFFFFFFF, false, "", 2},
};

class SelClockCorrection : public ::testing::TestWithParam<Case> {};

TEST_P(SelClockCorrection, MovesByTheDifference) {
    const Case& c = GetParam();
    const SelClock clock(c.system, c.controller);
    ASSERT_TRUE(clock.known());
    TCIMDateTime point;
    ASSERT_EQ(clock.Corrected(c.stamp, &point), c.placed);
    if (c.placed) {
        EXPECT_EQ(point.ToString(), c.corrected);
    }
    const auto lines = clock.Report();
    ASSERT_EQ(lines.size(), c.lines);
    EXPECT_EQ(lines[0].first, kWyxLogStatus);
    if (c.lines == 3) {
        EXPECT_EQ(lines[2].first, kWyxLogHeavyHitter);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, SelClockCorrection, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& info) {
                             std::string name = info.param.name;
                             for (char& ch : name)
                                 if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                             return name;
                         });

TEST(SelClockUnknown, KeepsTheControllersTimeAndReportsNothing) {
    const SelClock clock;
    TCIMDateTime point;
    ASSERT_TRUE(clock.Corrected(k2020, &point));
    EXPECT_EQ(point.ToString(), "20200913122640.000000+000");
    EXPECT_TRUE(clock.Report().empty());
}

TEST(SelClockReport, SaysByHowMuchAndBothClocks) {
    const SelClock clock(at(2020, 9, 13, 13, 26, 40), k2020);
    const auto lines = clock.Report();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].second, "Normalizing SEL records by " + [] {
        TCIMDateTime hour;
        hour.Set(0, 1, 0, 0, 0);
        return hour.ToUIString();
    }() + ".");
    EXPECT_EQ(lines[1].second, "System clock is " + at(2020, 9, 13, 13, 26, 40).ToUIString() +
                                   " (UTC offset 0). SEL clock is " + at(2020, 9, 13, 12, 26, 40).ToUIString() +
                                   " (UTC offset 0).");
}

}  // namespace
