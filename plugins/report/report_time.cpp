#include "report_time.h"

#include <cstdint>
#include <cstdio>

#include "wyxcore/os_specific.h"
#include "wyxcore/value.h"

namespace {

// Days from 1970-01-01 of a date of the proleptic Gregorian calendar, and back.
long long daysFromCivil(long long year, unsigned month, unsigned day) {
    year -= month <= 2;
    const long long era = (year >= 0 ? year : year - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(year - era * 400);
    const unsigned doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

void civilFromDays(long long days, int* year, int* month, int* day) {
    days += 719468;
    const long long era = (days >= 0 ? days : days - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(days - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    *day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    *month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    *year = static_cast<int>(static_cast<long long>(yoe) + era * 400 + (*month <= 2));
}

}  // namespace

TCIMDateTime ReportTime() {
    const TCIMDateTime now = TOSSpecific::GetLocalTime();
    TCIMDateTime seconds;
    seconds.Set(now.GetYear(), now.GetMonth(), now.GetDay(), now.GetHour(), now.GetMinute(), now.GetSecond(), 0,
                OffsetMinutes(now));
    return seconds;
}

const TCIMDateTime* PointOf(const TCIMValue* value) {
    if (!value || value->IsArray()) return nullptr;
    const TCIMDateTime* point = value->FindDateTime();
    return point && !point->IsInterval() ? point : nullptr;
}

int OffsetMinutes(const TCIMDateTime& point) { return static_cast<int16_t>(point.GetUTCOffset()); }

long long UtcSeconds(const TCIMDateTime& point) {
    return daysFromCivil(point.GetYear(), point.GetMonth(), point.GetDay()) * 86400LL + point.GetHour() * 3600LL +
           point.GetMinute() * 60LL + point.GetSecond() - OffsetMinutes(point) * 60LL;
}

TCIMDateTime AtOffset(const TCIMDateTime& point, int offsetMinutes) {
    const long long local = UtcSeconds(point) + offsetMinutes * 60LL;
    long long days = local / 86400, rest = local % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    int year, month, day;
    civilFromDays(days, &year, &month, &day);
    TCIMDateTime moved;
    moved.Set(year, month, day, static_cast<int>(rest / 3600), static_cast<int>(rest / 60 % 60),
              static_cast<int>(rest % 60), point.GetMicroseconds(), offsetMinutes);
    return moved;
}

std::string TimeSortKey(const TCIMDateTime& value) {
    char buf[48];
    if (value.IsInterval()) {
        std::snprintf(buf, sizeof buf, "i%010ld%02d%02d%02d%06ld", value.GetDays(), value.GetHour(),
                      value.GetMinute(), value.GetSecond(), value.GetMicroseconds());
        return buf;
    }
    // Shifted so that every year from 1 on stays positive and the keys sort as text.
    std::snprintf(buf, sizeof buf, "t%014lld%06ld", UtcSeconds(value) + 62135683200LL, value.GetMicroseconds());
    return buf;
}
