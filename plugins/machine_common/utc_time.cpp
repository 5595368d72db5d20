#include "utc_time.h"

namespace machine {

namespace {

const int64_t kMicrosPerSecond = 1000000;
const int64_t kSecondsPerDay = 86400;
const int64_t kLastDay = 2932896;   // 9999-12-31
const uint64_t kFileTimePerMicro = 10;

}  // namespace

bool UtcFromEpochMicros(int64_t micros, TCIMDateTime* point) {
    if (micros < 0) return false;
    const int64_t seconds = micros / kMicrosPerSecond;
    const int64_t days = seconds / kSecondsPerDay;
    if (days > kLastDay) return false;
    const int64_t daySecond = seconds % kSecondsPerDay;
    // Civil date from a day count (proleptic Gregorian, eras of 400 years).
    const int64_t z = days + 719468;
    const int64_t era = z / 146097;
    const int64_t dayOfEra = z - era * 146097;
    const int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int64_t mp = (5 * dayOfYear + 2) / 153;
    const int day = static_cast<int>(dayOfYear - (153 * mp + 2) / 5 + 1);
    const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    const int year = static_cast<int>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
    point->Set(year, month, day, static_cast<int>(daySecond / 3600), static_cast<int>(daySecond / 60 % 60),
               static_cast<int>(daySecond % 60), static_cast<long>(micros % kMicrosPerSecond), 0);
    return true;
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

}  // namespace machine
