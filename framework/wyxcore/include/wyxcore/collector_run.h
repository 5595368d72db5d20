#ifndef WYXCORE_COLLECTOR_RUN_H
#define WYXCORE_COLLECTOR_RUN_H

#include <cstdint>
#include <string>
#include <vector>

#include "wyxcore/export.h"

class TContainer;

// What the program did with each collector, kept as data in the collection (one
// VARNSG_CollectorRun instance per step) so that a report reads which collectors
// ran from the file, never from the wording of a message.
namespace collector_run {

extern WYX_API const char* const kClassName;   // "VARNSG_CollectorRun"

enum class Outcome { kRan, kSkipped, kNotLoaded, kAbandoned };

struct Step {
    std::string collector;     // the plug-in's name; a file that never loaded: its file name
    std::string selection;     // its selection name
    std::string step;          // "computer system", "pass 1", "pass 2", "loading"
    Outcome outcome = Outcome::kRan;
    uint64_t instancesAdded = 0;
    uint64_t milliseconds = 0;
    std::string reason;        // why it was not loaded, for people
};

// "ran", "skipped", "not loaded", "abandoned".
WYX_API const char* OutcomeName(Outcome outcome);

// Adds the step to the container; nothing when the schema lacks the class (a
// collection without it is still whole). Throws TWYXException as
// SetPropertyValue does.
WYX_API void Add(TContainer* container, const Step& step);

// The steps the collection holds, in order; false when it holds none (a file of
// an earlier version). A step whose outcome is unknown is skipped.
WYX_API bool Read(const TContainer& container, std::vector<Step>* steps);

}  // namespace collector_run

#endif
