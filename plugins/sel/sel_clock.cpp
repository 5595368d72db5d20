#include "sel_clock.h"

#include "wyxcore/calendar.h"
#include "wyxcore/logger.h"

namespace {

const uint32_t kFirstClockStamp = 0x20000000;
const uint32_t kUnspecifiedStamp = 0xFFFFFFFF;
const int64_t kDay = 86400;

bool pointOfSeconds(int64_t seconds, TCIMDateTime* point) {
    int64_t micros = 0;
    return calendar::EpochMicrosFromSeconds(seconds, &micros) && calendar::UtcFromEpochMicros(micros, point);
}

TCIMDateTime interval(int64_t seconds) {
    if (seconds < 0) seconds = -seconds;
    TCIMDateTime span;
    span.Set(static_cast<long>(seconds / kDay), static_cast<int>(seconds % kDay / 3600),
             static_cast<int>(seconds % 3600 / 60), static_cast<int>(seconds % 60), 0);
    return span;
}

}  // namespace

SelClock::SelClock(const TCIMDateTime& systemNow, uint32_t controllerSeconds)
    : system_(systemNow), difference_(calendar::UtcSeconds(systemNow) - static_cast<int64_t>(controllerSeconds)) {
    known_ = pointOfSeconds(controllerSeconds, &controller_);
}

bool SelClock::ControllerPoint(uint32_t stamp, TCIMDateTime* point) {
    return stamp >= kFirstClockStamp && stamp != kUnspecifiedStamp && pointOfSeconds(stamp, point);
}

bool SelClock::ControllerPoint(const SelRecord& record, TCIMDateTime* point) {
    return record.stampKind == SelRecord::Stamp::Clock && ControllerPoint(record.stamp, point);
}

bool SelClock::Corrected(uint32_t stamp, TCIMDateTime* point) const {
    if (!known_) return ControllerPoint(stamp, point);
    TCIMDateTime unused;
    return ControllerPoint(stamp, &unused) && pointOfSeconds(stamp + difference_, point);
}

bool SelClock::Corrected(const SelRecord& record, TCIMDateTime* point) const {
    return record.stampKind == SelRecord::Stamp::Clock && Corrected(record.stamp, point);
}

std::vector<std::pair<int, std::string> > SelClock::Report() const {
    std::vector<std::pair<int, std::string> > lines;
    if (!known_) return lines;
    lines.emplace_back(kWyxLogStatus, "Normalizing SEL records by " + interval(difference_).ToUIString() + ".");
    lines.emplace_back(kWyxLogStatus, "System clock is " + system_.ToUIString() + " (UTC offset " +
                                          std::to_string(calendar::OffsetMinutes(system_)) + "). SEL clock is " +
                                          controller_.ToUIString() + " (UTC offset 0).");
    if (difference_ > kDay || difference_ < -kDay)
        lines.emplace_back(kWyxLogHeavyHitter,
                           "The difference between the System clock and SEL clock is greater than 24 hours.");
    return lines;
}
