#ifndef WYXCORE_CALENDAR_H
#define WYXCORE_CALENDAR_H

#include <cstdint>
#include <string>

#include "wyxcore/datetime.h"
#include "wyxcore/export.h"

class TCIMValue;

// Date arithmetic of the proleptic Gregorian calendar, for every unit alike:
// days and seconds since 1970, moving a point to another UTC offset, sort keys,
// and the stamps of each source turned into points. Only years 0 to 9999 (what
// a CIM date-time holds) are ever converted: a count outside them is refused
// before any arithmetic, so no hostile number overflows.
namespace calendar {

// The last second a CIM date-time can hold: 9999-12-31 23:59:59 UTC.
const int64_t kLastEpochSecond = 253402300799LL;
// 1970-01-01 as a Windows file time (100 ns since 1601).
const uint64_t kFileTimeOf1970 = 116444736000000000ULL;

// Whether the fields name a day of the calendar, years 0 to 9999.
WYX_API bool IsDate(int year, int month, int day);
// Days from 1970-01-01 to a date; throws TWYXException (kWyxInvalidDateTime)
// for one IsDate refuses.
WYX_API int64_t DaysFromCivil(int year, int month, int day);
// The date of a day count from 1970-01-01; false (nothing written) outside
// years 0 to 9999.
WYX_API bool CivilFromDays(int64_t days, int* year, int* month, int* day);

// The UTC offset of a point in minutes east of UTC.
WYX_API int OffsetMinutes(const TCIMDateTime& point);
// Seconds from 1970-01-01 00:00 UTC to the instant of a point, whatever its offset.
WYX_API int64_t UtcSeconds(const TCIMDateTime& point);
// The point whose clock, at offsetMinutes, reads localSeconds (and microseconds)
// after 1970-01-01 00:00:00; false (nothing written) outside years 0 to 9999.
// Throws as TCIMDateTime::Set for microseconds or an offset out of range.
WYX_API bool PointFromLocalSeconds(int64_t localSeconds, long microseconds, int offsetMinutes,
                                   TCIMDateTime* point);
// The same instant written at another UTC offset; throws TWYXException
// (kWyxInvalidDateTime) when it falls outside years 0 to 9999.
WYX_API TCIMDateTime AtOffset(const TCIMDateTime& point, int offsetMinutes);
// A key that sorts points by instant (UTC) and intervals by length, as text;
// points after intervals.
WYX_API std::string TimeSortKey(const TCIMDateTime& value);
// The point in time a value holds; null for another type, an interval, an
// array or a masked date-time.
WYX_API const TCIMDateTime* PointOf(const TCIMValue* value);

// The stamps of the sources. Each refuses (false, nothing computed) a number
// before 1970 or after 9999.
// The UTC point of a count of microseconds since 1970-01-01 00:00:00 UTC.
WYX_API bool UtcFromEpochMicros(int64_t micros, TCIMDateTime* point);
// Microseconds since 1970 of a count of seconds since 1970.
WYX_API bool EpochMicrosFromSeconds(int64_t seconds, int64_t* micros);
// Microseconds since 1970 of a Windows file time (100 ns since 1601).
WYX_API bool EpochMicrosFromFileTime(uint64_t fileTime, int64_t* micros);
// A service processor's stamp, seconds since 1990-01-01 00:00:00 on its own
// clock: the fields that clock read, labelled with the offset given. Every
// 32-bit stamp has its date.
WYX_API TCIMDateTime PointFromSecondsSince1990(uint32_t seconds, int offsetMinutes);

}  // namespace calendar

#endif
