#include "trav_time.h"

CalendarTime travTimeToCalendar(uint32_t secondsSince1990) {
    const int64_t kFrom1970To1990 = 631152000;
    const int64_t seconds = static_cast<int64_t>(secondsSince1990) + kFrom1970To1990;
    // Civil date from days since 1970 (proleptic Gregorian, days are never negative here).
    const int64_t z = seconds / 86400 + 719468;
    const int64_t era = z / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    CalendarTime t;
    t.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    t.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    t.year = static_cast<int>(yoe + era * 400 + (t.month <= 2));
    const int64_t rest = seconds % 86400;
    t.hour = static_cast<int>(rest / 3600);
    t.minute = static_cast<int>(rest / 60 % 60);
    t.second = static_cast<int>(rest % 60);
    return t;
}
