#ifndef QUARNEL_CLOCK_NORMALISER_H
#define QUARNEL_CLOCK_NORMALISER_H

#include "wyxcore/datetime.h"

class SPLibrary;

// The date and time fields of one ULK entry, as its bytes give them (the year
// counts from 2000).
struct EntryClock {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// Moves ULK entry time stamps from a processor's clock onto the system clock,
// and counts the entries it could not date or move over one log read.
class ClockNormaliser {
public:
    ClockNormaliser(void* plugin, void* container);

    // Reads the processor's clock and time zone through the shared reply
    // buffer and length, and reports the difference to the system clock.
    void beginProcessor(SPLibrary& library, int processor, unsigned char* reply, int* length);
    // Adds the entry's MessageTimestamp to the current instance. False when the
    // framework refused it: the read ends.
    bool addTimestamp(const EntryClock& entry);
    // The two counts, where not zero.
    void logSummary() const;

private:
    void log(int type, const std::string& text) const;

    void* plugin_;
    void* container_;
    TCIMDateTime systemTime_, spClock_, difference_;
    int spOffset_;
    bool normalise_;
    unsigned int defaulted_, unnormalised_;
};

#endif
