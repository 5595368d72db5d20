#include "wyxcore/datetime.h"

#include <cstdio>
#include <cstdlib>

#include "wyxcore/calendar.h"
#include "wyxcore/exception.h"
#include "wyxcore/status.h"

namespace {

const int64_t kMicroPerSecond = 1000000;
const int64_t kMicroPerDay = 86400 * kMicroPerSecond;
const long kMaxIntervalDays = 99999999;
const int kMaxOffset = 999;   // the three digits of the DMTF form

[[noreturn]] void reject(const char* what) { throw TWYXException(kWyxInvalidDateTime, what); }

int64_t pointUtcMicro(const TCIMDateTime& t) {
    return calendar::UtcSeconds(t) * kMicroPerSecond + t.GetMicroseconds();
}

int64_t pointLocalMicro(const TCIMDateTime& t) {
    return pointUtcMicro(t) + static_cast<int64_t>(calendar::OffsetMinutes(t)) * 60 * kMicroPerSecond;
}

int64_t intervalMicro(const TCIMDateTime& t) {
    return ((static_cast<int64_t>(t.GetDays()) * 24 + t.GetHour()) * 3600 + t.GetMinute() * 60 +
            t.GetSecond()) * kMicroPerSecond + t.GetMicroseconds();
}

TCIMDateTime pointFromLocalMicro(int64_t micro, int offset) {
    int64_t seconds = micro / kMicroPerSecond;
    int64_t rest = micro % kMicroPerSecond;
    if (rest < 0) {
        rest += kMicroPerSecond;
        --seconds;
    }
    TCIMDateTime result;
    if (!calendar::PointFromLocalSeconds(seconds, static_cast<long>(rest), offset, &result))
        reject("year out of range");
    return result;
}

TCIMDateTime intervalFromMicro(int64_t micro) {
    const int64_t days = micro / kMicroPerDay;
    if (days > kMaxIntervalDays) reject("interval out of range");
    const int64_t rest = micro % kMicroPerDay;
    const int64_t secs = rest / kMicroPerSecond;
    TCIMDateTime result;
    result.Set(static_cast<long>(days), static_cast<int>(secs / 3600), static_cast<int>(secs / 60 % 60),
               static_cast<int>(secs % 60), static_cast<long>(rest % kMicroPerSecond));
    return result;
}

// Reads exactly n digits at text[pos].
bool digits(const std::string& text, size_t pos, size_t n, long* value) {
    long v = 0;
    for (size_t i = pos; i < pos + n; ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        v = v * 10 + (text[i] - '0');
    }
    *value = v;
    return true;
}

}  // namespace

TCIMDateTime::TCIMDateTime()
    : interval_(false), year_(0), month_(0), day_(0), hour_(0), minute_(0), second_(0), micro_(0),
      days_(0), offset_(0) {}

void TCIMDateTime::Set(int year, int month, int day, int hour, int minute, int second,
                       long microseconds, int utcOffset) {
    if (year < 0 || year > 9999) reject("year out of range");
    if (month < 1 || month > 12) reject("month out of range");
    if (!calendar::IsDate(year, month, day)) reject("day out of range");
    if (hour < 0 || hour > 23) reject("hour out of range");
    if (minute < 0 || minute > 59) reject("minute out of range");
    if (second < 0 || second > 59) reject("second out of range");
    if (microseconds < 0 || microseconds > 999999) reject("microseconds out of range");
    if (utcOffset < -kMaxOffset || utcOffset > kMaxOffset) reject("UTC offset out of range");
    interval_ = false;
    year_ = year;
    month_ = month;
    day_ = day;
    hour_ = hour;
    minute_ = minute;
    second_ = second;
    micro_ = microseconds;
    days_ = 0;
    offset_ = utcOffset;
}

void TCIMDateTime::Set(long days, int hours, int minutes, int seconds, long microseconds) {
    if (days < 0 || days > kMaxIntervalDays) reject("interval days out of range");
    if (hours < 0 || hours > 23) reject("interval hours out of range");
    if (minutes < 0 || minutes > 59) reject("interval minutes out of range");
    if (seconds < 0 || seconds > 59) reject("interval seconds out of range");
    if (microseconds < 0 || microseconds > 999999) reject("interval microseconds out of range");
    interval_ = true;
    year_ = month_ = day_ = 0;
    days_ = days;
    hour_ = hours;
    minute_ = minutes;
    second_ = seconds;
    micro_ = microseconds;
    offset_ = 0;
}

TCIMDateTime TCIMDateTime::operator+(const TCIMDateTime& other) const {
    if (interval_ && other.interval_) {
        // Two of the longest intervals add up to more than the count holds.
        const int64_t a = intervalMicro(*this), b = intervalMicro(other);
        if (a > INT64_MAX - b) reject("interval out of range");
        return intervalFromMicro(a + b);
    }
    if (interval_ || !other.interval_) throw TWYXException(kWyxInvalidArgument, "point + point");
    return pointFromLocalMicro(pointLocalMicro(*this) + intervalMicro(other), offset_);
}

TCIMDateTime TCIMDateTime::operator-(const TCIMDateTime& other) const {
    if (!interval_ && !other.interval_) {
        int64_t a = pointUtcMicro(*this), b = pointUtcMicro(other);
        return intervalFromMicro(a < b ? b - a : a - b);
    }
    if (interval_ && other.interval_) {
        int64_t a = intervalMicro(*this), b = intervalMicro(other);
        if (a < b) reject("negative interval");
        return intervalFromMicro(a - b);
    }
    if (interval_) throw TWYXException(kWyxInvalidArgument, "interval - point");
    return pointFromLocalMicro(pointLocalMicro(*this) - intervalMicro(other), offset_);
}

bool TCIMDateTime::operator<(const TCIMDateTime& other) const {
    if (interval_ != other.interval_) throw TWYXException(kWyxInvalidArgument, "point compared with interval");
    if (interval_) return intervalMicro(*this) < intervalMicro(other);
    return pointUtcMicro(*this) < pointUtcMicro(other);
}

bool TCIMDateTime::operator==(const TCIMDateTime& other) const {
    return interval_ == other.interval_ && year_ == other.year_ && month_ == other.month_ &&
           day_ == other.day_ && hour_ == other.hour_ && minute_ == other.minute_ &&
           second_ == other.second_ && micro_ == other.micro_ && days_ == other.days_ &&
           offset_ == other.offset_;
}

std::string TCIMDateTime::ToUIString() const {
    char buf[80];
    if (interval_) {
        std::snprintf(buf, sizeof buf, "%ld day%s %02d:%02d:%02d", days_, days_ == 1 ? "" : "s", hour_,
                      minute_, second_);
    } else {
        const int off = offset_ < 0 ? -offset_ : offset_;
        std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d (UTC%c%02d:%02d)", year_, month_, day_,
                      hour_, minute_, second_, offset_ < 0 ? '-' : '+', off / 60, off % 60);
    }
    std::string text = buf;
    if (micro_) {
        char frac[16];
        std::snprintf(frac, sizeof frac, ".%06ld", micro_);
        const size_t at = interval_ ? text.size() : text.find(" (");
        text.insert(at, frac);
    }
    return text;
}

std::string TCIMDateTime::ToString() const {
    char buf[40];
    if (interval_) {
        std::snprintf(buf, sizeof buf, "%08ld%02d%02d%02d.%06ld:000", days_, hour_, minute_, second_, micro_);
    } else {
        const int off = offset_ < 0 ? -offset_ : offset_;
        std::snprintf(buf, sizeof buf, "%04d%02d%02d%02d%02d%02d.%06ld%c%03d", year_, month_, day_, hour_,
                      minute_, second_, micro_, offset_ < 0 ? '-' : '+', off);
    }
    return buf;
}

TCIMDateTime TCIMDateTime::FromString(const std::string& text) {
    if (text.size() != 25 || text[14] != '.') reject("not a DMTF datetime");
    long f[8];
    TCIMDateTime result;
    if (text[21] == ':') {
        if (text.compare(22, 3, "000") != 0 || !digits(text, 0, 8, &f[0]) || !digits(text, 8, 2, &f[1]) ||
            !digits(text, 10, 2, &f[2]) || !digits(text, 12, 2, &f[3]) || !digits(text, 15, 6, &f[4]))
            reject("not a DMTF interval");
        result.Set(f[0], static_cast<int>(f[1]), static_cast<int>(f[2]), static_cast<int>(f[3]), f[4]);
        return result;
    }
    if ((text[21] != '+' && text[21] != '-') || !digits(text, 0, 4, &f[0]) || !digits(text, 4, 2, &f[1]) ||
        !digits(text, 6, 2, &f[2]) || !digits(text, 8, 2, &f[3]) || !digits(text, 10, 2, &f[4]) ||
        !digits(text, 12, 2, &f[5]) || !digits(text, 15, 6, &f[6]) || !digits(text, 22, 3, &f[7]))
        reject("not a DMTF datetime");
    const int offset = static_cast<int>(text[21] == '-' ? -f[7] : f[7]);
    result.Set(static_cast<int>(f[0]), static_cast<int>(f[1]), static_cast<int>(f[2]), static_cast<int>(f[3]),
               static_cast<int>(f[4]), static_cast<int>(f[5]), f[6], offset);
    return result;
}
