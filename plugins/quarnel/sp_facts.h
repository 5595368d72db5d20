#ifndef QUARNEL_SP_FACTS_H
#define QUARNEL_SP_FACTS_H

#include <string>

#include "wyxcore/datetime.h"

// What became of the service processor and of each processor's clock, kept as
// data in the collection (VARNSG_ServiceProcessorStatus and
// VARNSG_ServiceProcessorClock) so that a report never reads it from the
// wording of a log message. A schema without these classes costs only them.
namespace sp_facts {

extern const char kFound[];      // "Found": its log was read (what was read is the log's instances)
extern const char kNotFound[];   // "Not found"
extern const char kNotRead[];    // "Not read": reason says why

void RecordStatus(void* container, const char* status, const std::string& reason = std::string());

// The readings the processor's entries were moved by; difference = system - processor.
void RecordClock(void* container, int processor, const TCIMDateTime& system, const TCIMDateTime& processorClock,
                 const TCIMDateTime& difference);

}  // namespace sp_facts

#endif
