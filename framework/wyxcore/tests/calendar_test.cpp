#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "wyxcore/calendar.h"
#include "wyxcore/exception.h"
#include "wyxcore/status.h"
#include "wyxcore/value.h"

namespace {

// How a row's point is made: DMTF text moved to another offset, or the number
// a source states.
enum class From { kText, kEpochMicros, kEpochSeconds, kFileTime, kSince1990 };

struct InstantCase {
    const char* what;
    From from;
    const char* text;      // kText: the point
    uint64_t count;        // the sources' number (a signed count as its two's complement)
    int offset;            // kText: moved to it; kSince1990: the label; else unused
    const char* made;      // the DMTF form of the result; null: refused
    int64_t utcMicros;     // its instant, since 1970-01-01 UTC
};

const uint64_t kFileTime2025 = calendar::kFileTimeOf1970 + 17650000000000000ULL;

const InstantCase kInstants[] = {
    {"east to UTC", From::kText, "20261208053100.000000+060", 0, 0, "20261208043100.000000+000", 1796704260000000},
    {"back over midnight", From::kText, "20261208010000.000000+120", 0, -300, "20261207180000.000000-300",
     1796684400000000},
    {"forward over a year", From::kText, "20261231233000.000000-300", 0, 60, "20270101053000.000000+060",
     1798777800000000},
    {"east of UTC is earlier", From::kText, "20261208100000.000000+120", 0, 0, "20261208080000.000000+000",
     1796716800000000},
    {"west of UTC is later", From::kText, "20261208233000.000000-300", 0, 0, "20261209043000.000000+000",
     1796790600000000},
    {"into a leap day", From::kText, "20240228230000.000000+000", 0, 720, "20240229110000.000000+720",
     1709161200000000},
    {"back into a leap day", From::kText, "20240301050000.000000+000", 0, -720, "20240229170000.000000-720",
     1709269200000000},
    {"1900 has no leap day", From::kText, "19000301050000.000000+000", 0, -720, "19000228170000.000000-720",
     -2203873200000000},
    {"year 0 has one", From::kText, "00000301010000.000000+000", 0, -120, "00000229230000.000000-120",
     -62162031600000000},
    {"year 0 at its start", From::kText, "00000101120000.000000+000", 0, 0, "00000101120000.000000+000",
     -62167176000000000},
    {"before year 0", From::kText, "00000101000000.000000+000", 0, -1, nullptr, 0},
    {"before 1970 from the east", From::kText, "19700101000000.000000+999", 0, 0, "19691231072100.000000+000",
     -59940000000},
    {"past 32-bit seconds", From::kText, "20380119031408.000000+000", 0, 330, "20380119084408.000000+330",
     2147483648000000},
    {"the last microsecond", From::kText, "99991231115959.999999-720", 0, 0, "99991231235959.999999+000",
     253402300799999999},
    {"after 9999", From::kText, "99991231235959.000000+000", 0, 1, nullptr, 0},

    {"micros: 1970", From::kEpochMicros, nullptr, 0, 0, "19700101000000.000000+000", 0},
    {"micros: century leap day", From::kEpochMicros, nullptr, 951782400123456ULL, 0, "20000229000000.123456+000",
     951782400123456},
    {"micros: a year's last", From::kEpochMicros, nullptr, 1735689599999999ULL, 0, "20241231235959.999999+000",
     1735689599999999},
    {"micros: the last second that fits", From::kEpochMicros, nullptr, 253402300799000000ULL, 0,
     "99991231235959.000000+000", 253402300799000000},
    {"micros: one second more", From::kEpochMicros, nullptr, 253402300800000000ULL, 0, nullptr, 0},
    {"micros: before 1970", From::kEpochMicros, nullptr, static_cast<uint64_t>(-1), 0, nullptr, 0},

    {"seconds", From::kEpochSeconds, nullptr, 1765000000, 0, "20251206054640.000000+000", 1765000000000000},
    {"seconds: the last that fits", From::kEpochSeconds, nullptr, 253402300799ULL, 0, "99991231235959.000000+000",
     253402300799000000},
    {"seconds: one more", From::kEpochSeconds, nullptr, 253402300800ULL, 0, nullptr, 0},
    {"seconds: the largest signed count", From::kEpochSeconds, nullptr, INT64_MAX, 0, nullptr, 0},

    {"file time of 1970", From::kFileTime, nullptr, calendar::kFileTimeOf1970, 0, "19700101000000.000000+000", 0},
    {"file time of 2025", From::kFileTime, nullptr, kFileTime2025, 0, "20251206054640.000000+000",
     1765000000000000},
    {"file time before 1970", From::kFileTime, nullptr, 1, 0, nullptr, 0},
    {"largest file time", From::kFileTime, nullptr, UINT64_MAX, 0, nullptr, 0},

    {"1990 clock at zero", From::kSince1990, nullptr, 0, 0, "19900101000000.000000+000", 631152000000000},
    {"1990 clock at its last", From::kSince1990, nullptr, UINT32_MAX, -300, "21260207062815.000000-300",
     4926137295000000},
};

// The point a row makes, or false where it is refused.
bool make(const InstantCase& c, TCIMDateTime* point) {
    int64_t micros = 0;
    switch (c.from) {
        case From::kText:
            try {
                *point = calendar::AtOffset(TCIMDateTime::FromString(c.text), c.offset);
                return true;
            } catch (const TWYXException& e) {
                EXPECT_EQ(kWyxInvalidDateTime, e.GetStatus());
                return false;
            }
        case From::kEpochMicros:
            return calendar::UtcFromEpochMicros(static_cast<int64_t>(c.count), point);
        case From::kEpochSeconds:
            if (!calendar::EpochMicrosFromSeconds(static_cast<int64_t>(c.count), &micros)) return false;
            EXPECT_EQ(c.utcMicros, micros);
            return calendar::UtcFromEpochMicros(micros, point);
        case From::kFileTime:
            if (!calendar::EpochMicrosFromFileTime(c.count, &micros)) return false;
            EXPECT_EQ(c.utcMicros, micros);
            return calendar::UtcFromEpochMicros(micros, point);
        case From::kSince1990:
            *point = calendar::PointFromSecondsSince1990(static_cast<uint32_t>(c.count), c.offset);
            return true;
    }
    return false;
}

TEST(Calendar, InstantsFromEachSourceAndAtEachOffset) {
    struct Made {
        int64_t utcMicros;
        std::string key;
    };
    std::vector<Made> made;
    for (const InstantCase& c : kInstants) {
        SCOPED_TRACE(c.what);
        TCIMDateTime point;
        const bool ok = make(c, &point);
        ASSERT_EQ(c.made != nullptr, ok);
        if (!ok) continue;
        EXPECT_EQ(c.made, point.ToString());
        EXPECT_EQ(c.utcMicros, calendar::UtcSeconds(point) * 1000000 + point.GetMicroseconds());
        if (c.from == From::kText) {
            // Moved back, the same point as written.
            const TCIMDateTime written = TCIMDateTime::FromString(c.text);
            EXPECT_EQ(written, calendar::AtOffset(point, calendar::OffsetMinutes(written)));
        }
        made.push_back({c.utcMicros, calendar::TimeSortKey(point)});
    }
    // The keys sort as the instants do, whatever the offset, year 0 included.
    for (const Made& a : made)
        for (const Made& b : made) EXPECT_EQ(a.utcMicros < b.utcMicros, a.key < b.key) << a.key << " " << b.key;
}

TEST(Calendar, OnlyAPointInTimeIsAPoint) {
    TCIMDateTime point, interval;
    point.Set(2026, 12, 8, 5, 0, 0, 0, 60);
    interval.Set(1, 6, 0, 0, 0);
    const struct { const char* name; TCIMValue value; bool point; } cases[] = {
        {"point", TCIMValue(point), true},
        {"interval", TCIMValue(interval), false},
        {"masked", TCIMValue::FromText(kCIMDateTime, "2026120805****.******+060"), false},
        {"array of points", TCIMValue::Array(kCIMDateTime, {"20261208050000.000000+060"}), false},
        {"string", TCIMValue("20261208050000.000000+060"), false},
    };
    for (const auto& c : cases) EXPECT_EQ(calendar::PointOf(&c.value) != nullptr, c.point) << c.name;
    EXPECT_EQ(calendar::PointOf(nullptr), nullptr);
}

}  // namespace
