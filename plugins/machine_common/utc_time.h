#ifndef MACHINE_UTC_TIME_H
#define MACHINE_UTC_TIME_H

#include <cstdint>

#include "wyxcore/datetime.h"

namespace machine {

// The UTC point of a count of microseconds since 1970-01-01 00:00:00 UTC;
// false for a count before 1970 or after 9999.
bool UtcFromEpochMicros(int64_t micros, TCIMDateTime* point);

}  // namespace machine

#endif
