#ifndef QUARNEL_TRAV_TIME_H
#define QUARNEL_TRAV_TIME_H

#include <cstdint>

struct CalendarTime {
    int year, month, day, hour, minute, second;
};

// A TRAV time stamp (seconds since 1990-01-01 00:00:00) as UTC calendar fields;
// 64-bit arithmetic, so every 32-bit stamp gets its true date.
CalendarTime travTimeToCalendar(uint32_t secondsSince1990);

#endif
