#include <gtest/gtest.h>

#include "expect_status.h"
#include "wyxcore/datetime.h"
#include "wyxcore/exception.h"
#include "wyxcore/status.h"

namespace {

struct PointCase {
    const char* what;
    int year, month, day, hour, minute, second;
    long micro;
    int offset;
    bool accepted;
};

const PointCase kPoints[] = {
    {"ordinary", 2026, 12, 8, 5, 31, 7, 0, -300, true},
    {"leap day in a leap year", 2024, 2, 29, 0, 0, 0, 0, 0, true},
    {"leap day in a 400 year", 2000, 2, 29, 0, 0, 0, 0, 0, true},
    {"last moment of a year", 1999, 12, 31, 23, 59, 59, 999999, 999, true},
    {"most negative offset", 1970, 1, 1, 0, 0, 0, 0, -999, true},
    {"month 0", 2026, 0, 1, 0, 0, 0, 0, 0, false},
    {"month 13", 2026, 13, 1, 0, 0, 0, 0, 0, false},
    {"day 0", 2026, 1, 0, 0, 0, 0, 0, 0, false},
    {"30 February", 2024, 2, 30, 0, 0, 0, 0, 0, false},
    {"31 February", 2026, 2, 31, 0, 0, 0, 0, 0, false},
    {"29 February, no leap year", 2026, 2, 29, 0, 0, 0, 0, 0, false},
    {"29 February 1900", 1900, 2, 29, 0, 0, 0, 0, 0, false},
    {"31 April", 2026, 4, 31, 0, 0, 0, 0, 0, false},
    {"hour 24", 2026, 1, 1, 24, 0, 0, 0, 0, false},
    {"minute 60", 2026, 1, 1, 0, 60, 0, 0, 0, false},
    {"second 60", 2026, 1, 1, 0, 0, 60, 0, 0, false},
    {"negative hour", 2026, 1, 1, -1, 0, 0, 0, 0, false},
    {"microseconds 1000000", 2026, 1, 1, 0, 0, 0, 1000000, 0, false},
    {"offset beyond a day", 2026, 1, 1, 0, 0, 0, 0, 1440, false},
    {"offset beyond three digits", 2026, 1, 1, 0, 0, 0, 0, 1000, false},
    {"negative offset beyond a day", 2026, 1, 1, 0, 0, 0, 0, -1500, false},
    {"year 10000", 10000, 1, 1, 0, 0, 0, 0, 0, false},
};

TEST(DateTimePoint, SetAcceptsOrRejectsEachField) {
    for (const PointCase& c : kPoints) {
        SCOPED_TRACE(c.what);
        TCIMDateTime t;
        t.Set(2001, 2, 3, 4, 5, 6, 7, 8);
        if (c.accepted) {
            t.Set(c.year, c.month, c.day, c.hour, c.minute, c.second, c.micro, c.offset);
            EXPECT_EQ(c.year, t.GetYear());
            EXPECT_EQ(c.month, t.GetMonth());
            EXPECT_EQ(c.day, t.GetDay());
            EXPECT_EQ(c.hour, t.GetHour());
            EXPECT_EQ(c.minute, t.GetMinute());
            EXPECT_EQ(c.second, t.GetSecond());
            EXPECT_EQ(c.offset, static_cast<int16_t>(t.GetUTCOffset()));
            EXPECT_EQ(t, TCIMDateTime::FromString(t.ToString()));
        } else {
            EXPECT_STATUS(t.Set(c.year, c.month, c.day, c.hour, c.minute, c.second, c.micro, c.offset),
                          kWyxInvalidDateTime);
            // A rejected Set leaves the value as it was.
            EXPECT_EQ(2001, t.GetYear());
            EXPECT_EQ(8, static_cast<int16_t>(t.GetUTCOffset()));
        }
    }
}

struct IntervalCase {
    const char* what;
    long days;
    int hours, minutes, seconds;
    long micro;
    bool accepted;
};

const IntervalCase kIntervals[] = {
    {"zero", 0, 0, 0, 0, 0, true},
    {"one day", 1, 0, 0, 0, 0, true},
    {"largest", 99999999, 23, 59, 59, 999999, true},
    {"negative days", -1, 0, 0, 0, 0, false},
    {"negative hours", 0, -1, 0, 0, 0, false},
    {"negative minutes", 0, 0, -1, 0, 0, false},
    {"negative seconds", 0, 0, 0, -1, 0, false},
    {"negative microseconds", 0, 0, 0, 0, -1, false},
    {"hours 24", 0, 24, 0, 0, 0, false},
    {"minutes 60", 0, 0, 60, 0, 0, false},
    {"seconds 60", 0, 0, 0, 60, 0, false},
    {"days beyond eight digits", 100000000, 0, 0, 0, 0, false},
};

TEST(DateTimeInterval, SetAcceptsOrRejectsEachField) {
    for (const IntervalCase& c : kIntervals) {
        SCOPED_TRACE(c.what);
        TCIMDateTime t;
        if (c.accepted) {
            t.Set(c.days, c.hours, c.minutes, c.seconds, c.micro);
            EXPECT_TRUE(t.IsInterval());
            EXPECT_EQ(c.days, t.GetDays());
            EXPECT_EQ(t, TCIMDateTime::FromString(t.ToString()));
        } else {
            EXPECT_THROW(t.Set(c.days, c.hours, c.minutes, c.seconds, c.micro), TWYXException);
        }
    }
}

TCIMDateTime point(int y, int mo, int d, int h, int mi, int s, int offset) {
    TCIMDateTime t;
    t.Set(y, mo, d, h, mi, s, 0, offset);
    return t;
}

TCIMDateTime interval(long days, int h, int mi, int s) {
    TCIMDateTime t;
    t.Set(days, h, mi, s, 0);
    return t;
}

TEST(DateTimeArithmetic, DifferenceComparesInstantsInUtc) {
    // 10:00 at UTC-5 is 15:00 UTC; 17:00 at UTC+1 is 16:00 UTC: one hour apart.
    const TCIMDateTime west = point(2026, 3, 1, 10, 0, 0, -300);
    const TCIMDateTime east = point(2026, 3, 1, 17, 0, 0, 60);
    EXPECT_EQ(interval(0, 1, 0, 0), east - west);
    EXPECT_EQ(interval(0, 1, 0, 0), west - east);   // never negative
    EXPECT_TRUE(west < east);
    EXPECT_FALSE(east < west);
    // The same instant written at two offsets: neither is earlier.
    const TCIMDateTime sameAsWest = point(2026, 3, 1, 16, 0, 0, 60);
    EXPECT_EQ(interval(0, 0, 0, 0), sameAsWest - west);
    EXPECT_FALSE(sameAsWest < west);
    EXPECT_FALSE(west < sameAsWest);
    // Across a date line: 23:30 on 1 March at UTC+9 is 14:30 UTC, before 10:00 at UTC-5.
    EXPECT_TRUE(point(2026, 3, 1, 23, 30, 0, 540) < west);
    EXPECT_EQ(interval(0, 0, 30, 0), west - point(2026, 3, 1, 23, 30, 0, 540));
}

struct ShiftCase {
    const char* what;
    TCIMDateTime start;
    TCIMDateTime by;
    TCIMDateTime plus;
    TCIMDateTime minus;
};

TEST(DateTimeArithmetic, PlusAndMinusKeepTheOffset) {
    const ShiftCase cases[] = {
        {"30 hours across a month end", point(2026, 1, 31, 20, 0, 0, -300), interval(1, 6, 0, 0),
         point(2026, 2, 2, 2, 0, 0, -300), point(2026, 1, 30, 14, 0, 0, -300)},
        {"one day across a leap day", point(2024, 2, 28, 12, 0, 0, 330), interval(1, 0, 0, 0),
         point(2024, 2, 29, 12, 0, 0, 330), point(2024, 2, 27, 12, 0, 0, 330)},
        {"one second across a year end", point(1999, 12, 31, 23, 59, 59, 0), interval(0, 0, 0, 1),
         point(2000, 1, 1, 0, 0, 0, 0), point(1999, 12, 31, 23, 59, 58, 0)},
        {"zero interval", point(2026, 6, 1, 0, 0, 0, 60), interval(0, 0, 0, 0), point(2026, 6, 1, 0, 0, 0, 60),
         point(2026, 6, 1, 0, 0, 0, 60)},
    };
    for (const ShiftCase& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.plus, c.start + c.by);
        EXPECT_EQ(c.minus, c.start - c.by);
    }
}

TEST(DateTimeArithmetic, ResultOutsideTheCalendarThrows) {
    EXPECT_THROW(point(1, 1, 1, 0, 0, 0, 0) - interval(1000, 0, 0, 0), TWYXException);
    EXPECT_THROW(point(9999, 12, 31, 0, 0, 0, 0) + interval(1, 0, 0, 0), TWYXException);
    // Far past 9999: the year must not wrap back into the calendar.
    EXPECT_THROW(point(1, 1, 1, 0, 0, 0, 0) + interval(99999999, 0, 0, 0), TWYXException);
    // Two of the longest intervals: more than the microsecond count holds.
    EXPECT_THROW(interval(99999999, 23, 59, 59) + interval(99999999, 23, 59, 59), TWYXException);
    EXPECT_THROW(point(2026, 1, 1, 0, 0, 0, 0) + point(2026, 1, 1, 0, 0, 0, 0), TWYXException);
    EXPECT_THROW(interval(0, 1, 0, 0) < point(2026, 1, 1, 0, 0, 0, 0), TWYXException);
}

TEST(DateTimeOrdering, PointsByInstantIntervalsByLength) {
    const TCIMDateTime ordered[] = {point(2025, 12, 31, 23, 0, 0, 0), point(2026, 1, 1, 5, 0, 0, 300),
                                    point(2026, 1, 1, 1, 0, 0, 0), point(2026, 1, 1, 0, 0, 0, -120)};
    for (size_t i = 0; i < 4; ++i)
        for (size_t j = 0; j < 4; ++j) EXPECT_EQ(i < j, ordered[i] < ordered[j]) << i << " " << j;
    const TCIMDateTime lengths[] = {interval(0, 0, 0, 0), interval(0, 0, 0, 1), interval(0, 23, 59, 59),
                                    interval(1, 0, 0, 0), interval(1, 6, 0, 0)};
    for (size_t i = 0; i < 5; ++i)
        for (size_t j = 0; j < 5; ++j) EXPECT_EQ(i < j, lengths[i] < lengths[j]) << i << " " << j;
}

TEST(DateTimeText, ReadableAndDmtfForms) {
    const struct {
        TCIMDateTime value;
        const char* ui;
        const char* dmtf;
    } cases[] = {
        {point(2026, 12, 8, 5, 31, 7, -300), "2026-12-08 05:31:07 (UTC-05:00)", "20261208053107.000000-300"},
        {point(2026, 1, 2, 3, 4, 5, 330), "2026-01-02 03:04:05 (UTC+05:30)", "20260102030405.000000+330"},
        {interval(1, 6, 0, 0), "1 day 06:00:00", "00000001060000.000000:000"},
        {interval(30, 0, 0, 5), "30 days 00:00:05", "00000030000005.000000:000"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.ui, c.value.ToUIString());
        EXPECT_EQ(c.dmtf, c.value.ToString());
        EXPECT_EQ(c.value, TCIMDateTime::FromString(c.dmtf));
    }
}

TEST(DateTimeText, MalformedDmtfTextThrows) {
    const char* const bad[] = {"", "2026120805310.000000-300", "20261208053107.000000*300",
                               "2026120805310x.000000-300", "20261308053107.000000+000",
                               "00000001060000.000000:001", "20261208053107,000000+000",
                               "****1208053107.000000+000"};
    for (const char* text : bad) EXPECT_THROW(TCIMDateTime::FromString(text), TWYXException) << text;
}

}  // namespace
