#ifndef QUARNEL_SCRIPTED_DRIVER_H
#define QUARNEL_SCRIPTED_DRIVER_H

#include <deque>
#include <string>
#include <vector>

#include "wyxcore/datetime.h"

// The SPLibrary of the unit tests: its members are defined in the test binary
// and answer from this script.

typedef std::vector<unsigned char> Bytes;

struct ScriptedReply {
    enum { kAuto = -1000 };
    bool ok = true;
    Bytes bytes;
    // kAuto: the byte count on success; left as it was on failure.
    int length = kAuto;
};

ScriptedReply reply(const Bytes& bytes);
ScriptedReply failedReply(int length = ScriptedReply::kAuto, const Bytes& bytes = Bytes());

struct ScriptedProcessor {
    ScriptedReply clock = failedReply();
    ScriptedReply timezone = failedReply();
    std::deque<ScriptedReply> entries;   // when used up: success, length 0
};

struct DriverScript {
    bool dot = false, comm = true, tolm = false, qmxStop = true, ulkLibrary = false;
    int boxId = 0;
    std::vector<ScriptedProcessor> processors;
    std::deque<ScriptedReply> tolmReplies;   // when used up: success, length 0

    // What the plug-in did: "isTolm", "boxid", "tolm first", "tolm next",
    // "dot 0 clock", "dot 1 zone", "dot 0 first", "dot 0 next", ...
    std::vector<std::string> calls;
    std::vector<int> tolmLengthsOnEntry;
    int tolmDirtyBuffers = 0;     // requests whose reply buffer was not zeroed
    int badCapacities = 0;        // dot sends with a capacity other than 2048
    int constructed = 0, destroyed = 0;

    int count(const std::string& call) const;
};

DriverScript& driver();
void resetDriver();

// The settable system clock that replaces the plug-in's.
void setSystemTime(const TCIMDateTime& now);
TCIMDateTime point(int year, int month, int day, int hour, int minute, int second, int offset);

#endif
