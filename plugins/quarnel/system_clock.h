#ifndef QUARNEL_SYSTEM_CLOCK_H
#define QUARNEL_SYSTEM_CLOCK_H

#include "wyxcore/datetime.h"

// The system's local date and time with its UTC offset. Kept in a file of its
// own so that the unit tests can link a settable clock in its place.
TCIMDateTime systemLocalTime();

#endif
