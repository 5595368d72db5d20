#ifndef NORBIX_WRITTEN_AT_H
#define NORBIX_WRITTEN_AT_H

#include "wyxcore/datetime.h"

// The local time to the second, with its UTC offset: when a report says it
// was written.
TCIMDateTime ReportTime();

#endif
