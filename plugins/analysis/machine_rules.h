#ifndef NORBIX_MACHINE_RULES_H
#define NORBIX_MACHINE_RULES_H

#include <string>
#include <vector>

class TContainer;
class TCIMInstance;

// What the machine collectors' classes report that needs attention.
struct MachineFinding {
    const TCIMInstance* source;   // the row that shows it
    std::string sourceKey;        // "Property=Value" naming that row
    std::string category;         // "Disk", "Temperature", "Fan", "Voltage", "OS log", "SEL"
    std::string severity;         // "Error" or "Warning"
    std::string description;
};

// A source with at least this many errors in the system log is a flood.
const size_t kOsErrorFlood = 100;

// A disk whose state is not a working one; a sensor at or beyond a threshold
// (at or over the critical upper one: Error; over the non-critical one:
// Warning; at or under the critical lower one: Error); a source with
// kOsErrorFlood or more errors in the system log (named by its newest one); a
// SEL event the controller's record marks as an Error or Warning (one per
// sensor and event, named by its newest record), and a SEL that is full or has
// overflowed (a Warning).
std::vector<MachineFinding> MachineFindings(const TContainer& container);

#endif
