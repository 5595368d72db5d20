#ifndef QUARNEL_ULK_TEST_SUPPORT_H
#define QUARNEL_ULK_TEST_SUPPORT_H

#include <string>

#include "scripted_driver.h"

// One ULK entry in the layout of the shipped quarnelentry.txt.
struct UlkEntry {
    int severity = 2;
    int year = 26, month = 12, day = 1, weekday = 3, hour = 8, minute = 30, second = 15;
    int eventId = 0x42;
    std::string source = "SP";
    std::string message = "Fan 2 failed";

    Bytes bytes() const;
};

// A clock reply (year - 2000, month, day, -, hour, minute, second).
Bytes clockBytes(int year, int month, int day, int hour, int minute, int second);

#endif
