#ifndef NORBIX_REPORT_TIME_H
#define NORBIX_REPORT_TIME_H

#include "wyxcore/datetime.h"

// The local time to the second, with its UTC offset: when a report says it
// was written.
TCIMDateTime ReportTime();

#endif
