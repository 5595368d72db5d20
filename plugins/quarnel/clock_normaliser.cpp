#include "clock_normaliser.h"

#include <cstring>
#include <string>

#include "dot_command.h"
#include "sp_facts.h"
#include "system_clock.h"
#include "wyxcore/calendar.h"
#include "wyxcore/exception.h"
#include "wyxcore/flat.h"

namespace {

const unsigned char kClockPath[] = {4, 4, 1};
const unsigned char kTimezonePath[] = {4, 4, 2};

std::string statusText(const TWYXException& e) { return wyxTranslateStatusCode(e.GetStatus()); }

// A framework date-time handle, released however the step ends.
struct DateTimeHandle {
    void* handle = nullptr;
    ~DateTimeHandle() {
        if (handle) wyxDeleteCIMDateTime(handle);
    }
};

}  // namespace

ClockNormaliser::ClockNormaliser(void* plugin, void* container)
    : plugin_(plugin), container_(container), spOffset_(0), normalise_(false), defaulted_(0),
      unnormalised_(0) {}

void ClockNormaliser::log(int type, const std::string& text) const { wyxWriteLog(plugin_, type, text.c_str()); }

void ClockNormaliser::beginProcessor(SPLibrary& library, int processor, unsigned char* reply, int* length) {
    spOffset_ = 0;
    normalise_ = false;
    systemTime_ = systemLocalTime();

    // Cleared so that a short clock reply reads zeros, not the previous reply.
    std::memset(reply, 0, kDotReplySize);
    if (!sendDotCommand(library, 2, kClockPath, 3, reply, length, processor) || *length <= 0) {
        log(1, "could not read SP clock - can not normalize datetime in log entry");
        return;
    }
    const int year = reply[0] + 2000, month = reply[1], day = reply[2];
    const int hour = reply[4], minute = reply[5], second = reply[6];

    std::memset(reply, 0, kDotReplySize);
    if (sendDotCommand(library, 2, kTimezonePath, 3, reply, length, processor) && *length > 0) {
        const int hundredths = static_cast<int16_t>(reply[0] | (reply[1] << 8));
        spOffset_ = hundredths * 60 / 100;
    } else {
        log(1, "could not read SP timezone - will try to normalize without timezone");
    }

    TCIMDateTime oneDay;
    try {
        spClock_.Set(year, month, day, hour, minute, second, 0, spOffset_);
        oneDay.Set(1, 0, 0, 0, 0);
        difference_ = systemTime_ - spClock_;
        normalise_ = true;
    } catch (const TWYXException& e) {
        log(2, "Could not obtain time difference between OS and SP clocks (due to caught exception " +
                   statusText(e) + ").");
        normalise_ = false;
    }
    if (!normalise_) return;
    sp_facts::RecordClock(container_, processor, systemTime_, spClock_, difference_);
    log(2, "Normalizing ULK Event logs by " + difference_.ToUIString() + ".");
    log(2, "System clock is " + systemTime_.ToUIString() + " (UTC offset " +
               std::to_string(calendar::OffsetMinutes(systemTime_)) + "). SP clock is " + spClock_.ToUIString() +
               " (UTC offset " + std::to_string(calendar::OffsetMinutes(spClock_)) + ").");
    if (oneDay < difference_)
        log(100, "The difference between the System clock and SP clock is greater than 24 hours.");
}

bool ClockNormaliser::addTimestamp(const EntryClock& fields) {
    TCIMDateTime entry;
    bool valid = false;
    try {
        entry.Set(fields.year + 2000, fields.month, fields.day, fields.hour, fields.minute, fields.second, 0,
                  spOffset_);
        valid = true;
    } catch (const TWYXException& e) {
        log(3, "Setting the Log Entry date/time to default 1/2/1970 (due to caught exception " + statusText(e) +
                   ").");
        entry.Set(1970, 1, 2, 0, 0, 0, 0, 0);
        ++defaulted_;
    }
    if (normalise_ && valid) {
        try {
            entry = spClock_ < systemTime_ ? entry + difference_ : entry - difference_;
        } catch (const TWYXException& e) {
            log(3, "Unable to add DiffTime due to caught exception " + statusText(e) + ".");
            ++unnormalised_;
        }
    }
    try {
        DateTimeHandle dateTime;
        wyxNewCIMDateTime(&dateTime.handle);
        wyxSetDateTime(dateTime.handle, entry.GetYear(), entry.GetMonth(), entry.GetDay(), entry.GetHour(),
                       entry.GetMinute(), entry.GetSecond(), 0, calendar::OffsetMinutes(entry));
        if (wyxAddDateTimeProperty(container_, "MessageTimestamp", dateTime.handle) == 3) {
            log(0, "Error adding MessageTimestamp for VARNSG_Quarnel");
            return false;
        }
    } catch (const TWYXException& e) {
        log(3, "Unable to add DateTimeProperty due to caught exception " + statusText(e) + ".");
    }
    return true;
}

void ClockNormaliser::logSummary() const {
    if (defaulted_)
        log(1, std::to_string(defaulted_) + " ULK log entries were set to the default value of 1/2/1970" +
                   " due to error in obtaining the date/time.");
    if (unnormalised_)
        log(1, std::to_string(unnormalised_) + " ULK log entries were not normalized to the system clock " +
                   " due to error in adding the time difference between SP clock and system clock.");
}
