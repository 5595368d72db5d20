#ifndef WYXCORE_DATETIME_H
#define WYXCORE_DATETIME_H

#include <cstdint>
#include <string>

#include "wyxcore/export.h"

// A DMTF datetime: either a point in time with its UTC offset
// (yyyymmddhhmmss.mmmmmmsutc) or an interval (ddddddddhhmmss.mmmmmm:000).
// Default-constructed it is the point 0000-00-00 (not a valid date); Set makes it
// valid and throws TWYXException (kWyxInvalidDateTime) for any field out of range.
class WYX_API TCIMDateTime {
public:
    TCIMDateTime();

    // Point in time; utcOffset in minutes east of UTC (-999 .. 999: the three
    // digits of the DMTF form).
    void Set(int year, int month, int day, int hour, int minute, int second,
             long microseconds, int utcOffset);
    // Interval.
    void Set(long days, int hours, int minutes, int seconds, long microseconds);

    bool IsInterval() const { return interval_; }
    int GetYear() const { return year_; }
    int GetMonth() const { return month_; }
    int GetDay() const { return day_; }
    int GetHour() const { return hour_; }
    int GetMinute() const { return minute_; }
    int GetSecond() const { return second_; }
    long GetMicroseconds() const { return micro_; }
    long GetDays() const { return days_; }            // intervals only
    uint16_t GetUTCOffset() const { return static_cast<uint16_t>(offset_); }

    // point + interval, point - interval: a point with the same UTC offset.
    // point - point: the non-negative interval between the two instants.
    TCIMDateTime operator+(const TCIMDateTime& interval) const;
    TCIMDateTime operator-(const TCIMDateTime& other) const;
    // Points: earlier instant (UTC). Intervals: shorter.
    bool operator<(const TCIMDateTime& other) const;
    bool operator==(const TCIMDateTime& other) const;
    bool operator!=(const TCIMDateTime& other) const { return !(*this == other); }

    // Readable form: "2026-12-08 05:31:07 (UTC-05:00)" or "1 day 06:00:00";
    // microseconds, when there are any, follow the seconds.
    std::string ToUIString() const;
    // DMTF form (25 characters).
    std::string ToString() const;
    // Parses the DMTF form; throws TWYXException (kWyxInvalidDateTime).
    static TCIMDateTime FromString(const std::string& text);

private:
    bool interval_;
    int year_, month_, day_, hour_, minute_, second_;
    long micro_;
    long days_;
    int offset_;
};

#endif
