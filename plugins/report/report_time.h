#ifndef NORBIX_REPORT_TIME_H
#define NORBIX_REPORT_TIME_H

#include <string>

#include "wyxcore/datetime.h"

// The local time to the second, with its UTC offset: when a report says it
// was written.
TCIMDateTime ReportTime();

// Seconds from 1970-01-01 00:00 UTC to the instant of a point in time, whatever its offset.
long long UtcSeconds(const TCIMDateTime& point);

// The same instant written at another UTC offset (minutes east of UTC).
TCIMDateTime AtOffset(const TCIMDateTime& point, int offsetMinutes);

// A key that sorts points by instant (UTC) and intervals by length, as text.
std::string TimeSortKey(const TCIMDateTime& value);

// The point in time a value holds; null for another type, an interval, an
// array or a masked date-time.
class TCIMValue;
const TCIMDateTime* PointOf(const TCIMValue* value);

// The UTC offset of a point in minutes east of UTC.
int OffsetMinutes(const TCIMDateTime& point);

#endif
