#ifndef SEL_SEL_CLOCK_H
#define SEL_SEL_CLOCK_H

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "sel_record.h"
#include "wyxcore/datetime.h"

// The controller's clock against the system's, read once per log: every
// record's stamp is moved by their difference so that it stands on the
// system clock, as the service-processor logs are.
class SelClock {
public:
    SelClock() = default;
    // systemNow is the system's local time with its offset; controllerSeconds
    // is Get SEL Time's reading.
    SelClock(const TCIMDateTime& systemNow, uint32_t controllerSeconds);

    bool known() const { return known_; }
    const TCIMDateTime& systemTime() const { return system_; }
    const TCIMDateTime& controllerTime() const { return controller_; }
    // system - controller, in seconds.
    int64_t difference() const { return difference_; }

    // The point a stamp names on the controller's clock (written at UTC offset
    // 0: the controller keeps no zone); false for a stamp that names none.
    static bool ControllerPoint(const SelRecord& record, TCIMDateTime* point);
    static bool ControllerPoint(uint32_t stamp, TCIMDateTime* point);
    // The same moment on the system clock, in UTC; the controller's own point
    // when its clock could not be read (as the service-processor logs keep
    // theirs); false when the stamp names no point or the sum leaves the calendar.
    bool Corrected(uint32_t stamp, TCIMDateTime* point) const;
    bool Corrected(const SelRecord& record, TCIMDateTime* point) const;

    // The run-log lines that report the correction, (type, text), in order.
    std::vector<std::pair<int, std::string> > Report() const;

private:
    bool known_ = false;
    TCIMDateTime system_, controller_;
    int64_t difference_ = 0;
};

#endif
