#include "sp_facts.h"

#include "wyxcore/flat.h"
#include "wyxcore/status.h"

namespace sp_facts {

const char kFound[] = "Found";
const char kNotFound[] = "Not found";
const char kNotRead[] = "Not read";

void RecordStatus(void* container, const char* status, const std::string& reason) {
    if (wyxAddClass(container, "VARNSG_ServiceProcessorStatus") != kWyxOK) return;
    wyxAddProperty(container, "Status", status);
    if (!reason.empty()) wyxAddProperty(container, "Reason", reason.c_str());
}

void RecordClock(void* container, int processor, const TCIMDateTime& system, const TCIMDateTime& processorClock,
                 const TCIMDateTime& difference) {
    if (wyxAddClass(container, "VARNSG_ServiceProcessorClock") != kWyxOK) return;
    wyxAddProperty(container, "Processor", std::to_string(processor).c_str());
    wyxAddProperty(container, "SystemClock", system.ToString().c_str());
    wyxAddProperty(container, "ServiceProcessorClock", processorClock.ToString().c_str());
    wyxAddProperty(container, "Difference", difference.ToString().c_str());
}

}  // namespace sp_facts
