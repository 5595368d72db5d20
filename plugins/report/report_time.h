#ifndef NORBIX_REPORT_TIME_H
#define NORBIX_REPORT_TIME_H

// Only for the HTML writer's includes until it names the calendar itself; new
// code includes wyxcore/calendar.h and written_at.h.
#include "wyxcore/calendar.h"
#include "written_at.h"

using calendar::PointOf;
using calendar::TimeSortKey;
using calendar::UtcSeconds;

#endif
