#ifndef VANTLIB_SP_IMAGE_H
#define VANTLIB_SP_IMAGE_H

#include <string>
#include <vector>

// One scripted reply of the simulated processor: a send that succeeds (ok) or
// fails, and the bytes it delivers.
struct SpReply {
    bool ok = false;
    std::vector<unsigned char> bytes;
};

// A read-clock reply made when the clock is read: UTC now moved by offset
// seconds, as the processor's clock bytes (year-2000, month, day, 0, hour,
// minute, second). Keeps an example's clock a set distance from the system's
// whatever the day it runs.
struct SpClock {
    SpReply fixed;
    bool relative = false;
    long long offsetSeconds = 0;
};

// The reply of a relative clock at the UTC instant given (seconds since 1970).
SpReply clockReplyAt(const SpClock& clock, long long utcNow);

struct SpProcessor {
    SpClock clock;       // default: a failing send
    SpReply timezone;
    std::vector<SpReply> entries;
};

// The simulated service processor described by a VANT_SP_IMAGE file.
struct SpImage {
    enum Kind { None, Dot, Tolm };
    Kind kind = None;
    bool commOk = true;
    bool qmxStop = true;
    bool ulkLibrary = false;
    int boxId = 0;
    std::string firmware;                  // the processor's firmware version; empty: not stated
    std::vector<SpProcessor> processors;   // dot
    std::vector<SpReply> travEntries;      // tolm
};

// Parses an image strictly. On the first malformed line returns false and sets
// *error to "line N: reason"; *image is then unspecified.
bool parseSpImage(const std::string& text, SpImage* image, std::string* error);

#endif
