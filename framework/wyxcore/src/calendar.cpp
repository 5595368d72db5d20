#include "wyxcore/calendar.h"

#include <date/date.h>

#include <chrono>
#include <cstdio>

#include "wyxcore/exception.h"
#include "wyxcore/status.h"
#include "wyxcore/value.h"

// The calendar rules (leap years, month lengths, days of eras, division
// towards the past) are the date library's; ours are the bounds. Its year
// holds 16 bits and its day count an int, so every count is checked against
// years 0 to 9999 before it reaches the library.
namespace calendar {

namespace {

const int64_t kSecondsPerDay = 86400;
const int64_t kMicrosPerSecond = 1000000;
const uint64_t kFileTimePerMicro = 10;
const int64_t kFirstDay = -719528;          // 0000-01-01
const int64_t kLastDay = 2932896;           // 9999-12-31
const int64_t kFirstSecond = kFirstDay * kSecondsPerDay;
const int64_t kSecondsFrom1970To1990 = 631152000;

}  // namespace

bool IsDate(int year, int month, int day) {
    if (year < 0 || year > 9999 || month < 1 || month > 12 || day < 1 || day > 31) return false;
    return date::year_month_day(date::year(year), date::month(static_cast<unsigned>(month)),
                                date::day(static_cast<unsigned>(day)))
        .ok();
}

int64_t DaysFromCivil(int year, int month, int day) {
    if (!IsDate(year, month, day)) throw TWYXException(kWyxInvalidDateTime, "not a date");
    const date::sys_days days{date::year_month_day(date::year(year), date::month(static_cast<unsigned>(month)),
                                                   date::day(static_cast<unsigned>(day)))};
    return days.time_since_epoch().count();
}

bool CivilFromDays(int64_t days, int* year, int* month, int* day) {
    if (days < kFirstDay || days > kLastDay) return false;
    const date::year_month_day civil{date::sys_days(date::days(static_cast<int>(days)))};
    *year = static_cast<int>(civil.year());
    *month = static_cast<int>(static_cast<unsigned>(civil.month()));
    *day = static_cast<int>(static_cast<unsigned>(civil.day()));
    return true;
}

int OffsetMinutes(const TCIMDateTime& point) { return static_cast<int16_t>(point.GetUTCOffset()); }

int64_t UtcSeconds(const TCIMDateTime& point) {
    return DaysFromCivil(point.GetYear(), point.GetMonth(), point.GetDay()) * kSecondsPerDay +
           point.GetHour() * 3600LL + point.GetMinute() * 60LL + point.GetSecond() - OffsetMinutes(point) * 60LL;
}

bool PointFromLocalSeconds(int64_t localSeconds, long microseconds, int offsetMinutes, TCIMDateTime* point) {
    if (localSeconds < kFirstSecond || localSeconds > kLastEpochSecond) return false;
    const std::chrono::seconds since(localSeconds);
    const date::days days = date::floor<date::days>(since);
    const int64_t rest = (since - days).count();
    int year, month, day;
    if (!CivilFromDays(days.count(), &year, &month, &day)) return false;
    TCIMDateTime made;
    made.Set(year, month, day, static_cast<int>(rest / 3600), static_cast<int>(rest / 60 % 60),
             static_cast<int>(rest % 60), microseconds, offsetMinutes);
    *point = made;
    return true;
}

TCIMDateTime AtOffset(const TCIMDateTime& point, int offsetMinutes) {
    TCIMDateTime moved;
    if (!PointFromLocalSeconds(UtcSeconds(point) + offsetMinutes * 60LL, point.GetMicroseconds(), offsetMinutes,
                               &moved))
        throw TWYXException(kWyxInvalidDateTime, "year out of range");
    return moved;
}

std::string TimeSortKey(const TCIMDateTime& value) {
    char buf[48];
    if (value.IsInterval()) {
        std::snprintf(buf, sizeof buf, "i%010ld%02d%02d%02d%06ld", value.GetDays(), value.GetHour(),
                      value.GetMinute(), value.GetSecond(), value.GetMicroseconds());
        return buf;
    }
    // Counted from the first instant a point can name (year 0 at UTC+16:39), so
    // that every key is positive, of one width, and sorts as text.
    const int64_t fromFirst = UtcSeconds(value) - (kFirstSecond - 999 * 60);
    std::snprintf(buf, sizeof buf, "t%014lld%06ld", static_cast<long long>(fromFirst), value.GetMicroseconds());
    return buf;
}

const TCIMDateTime* PointOf(const TCIMValue* value) {
    if (!value || value->IsArray()) return nullptr;
    const TCIMDateTime* point = value->FindDateTime();
    return point && !point->IsInterval() ? point : nullptr;
}

bool UtcFromEpochMicros(int64_t micros, TCIMDateTime* point) {
    if (micros < 0) return false;
    return PointFromLocalSeconds(micros / kMicrosPerSecond, static_cast<long>(micros % kMicrosPerSecond), 0, point);
}

bool EpochMicrosFromSeconds(int64_t seconds, int64_t* micros) {
    // Within these bounds the product stays far below the type's range.
    if (seconds < 0 || seconds > kLastEpochSecond) return false;
    *micros = seconds * kMicrosPerSecond;
    return true;
}

bool EpochMicrosFromFileTime(uint64_t fileTime, int64_t* micros) {
    if (fileTime < kFileTimeOf1970) return false;
    const uint64_t since = (fileTime - kFileTimeOf1970) / kFileTimePerMicro;
    if (since / kMicrosPerSecond > static_cast<uint64_t>(kLastEpochSecond)) return false;
    *micros = static_cast<int64_t>(since);
    return true;
}

TCIMDateTime PointFromSecondsSince1990(uint32_t seconds, int offsetMinutes) {
    TCIMDateTime point;
    // 1990 plus 2^32 seconds is in 2126: always inside the calendar.
    PointFromLocalSeconds(static_cast<int64_t>(seconds) + kSecondsFrom1970To1990, 0, offsetMinutes, &point);
    return point;
}

}  // namespace calendar
