#ifndef MACHINE_UTC_TIME_H
#define MACHINE_UTC_TIME_H

#include <cstdint>

#include "wyxcore/datetime.h"

namespace machine {

// The last second a CIM date-time can hold: 9999-12-31 23:59:59 UTC.
const int64_t kLastEpochSecond = 253402300799LL;
// 1970-01-01 as a Windows file time (100 ns since 1601).
const uint64_t kFileTimeOf1970 = 116444736000000000ULL;

// The UTC point of a count of microseconds since 1970-01-01 00:00:00 UTC;
// false for a count before 1970 or after 9999.
bool UtcFromEpochMicros(int64_t micros, TCIMDateTime* point);

// Microseconds since 1970 of a count of seconds the machine states; false
// (nothing computed) for one before 1970 or after 9999.
bool EpochMicrosFromSeconds(int64_t seconds, int64_t* micros);
// The same of a Windows file time (100 ns since 1601).
bool EpochMicrosFromFileTime(uint64_t fileTime, int64_t* micros);

}  // namespace machine

#endif
