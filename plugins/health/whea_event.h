#ifndef HEALTH_WHEA_EVENT_H
#define HEALTH_WHEA_EVENT_H

#include <string>
#include <vector>

#include "health_facts.h"

namespace health {

const size_t kWheaRecordLimit = 10000;   // the newest
const size_t kWheaXmlLimit = 64 << 10;   // one event's XML

// One event of the hardware-error logger (provider
// "Microsoft-Windows-WHEA-Logger") as the event log renders it in XML, with
// its formatted message (empty when the publisher cannot give it): the part it
// names (a PCI address from Segment/Bus/Device/Function, "CPU n" from ApicId,
// the memory module where named) and its kind, by the event's data rather than
// its number alone. False (and a note) for XML that is no event.
bool DecodeWheaEvent(const std::string& xml, const std::string& message, HardwareErrorFacts* record,
                     std::vector<std::string>& notes);

// The PCI address ("0000:3b:00.1") of a device's location as Windows states it
// ("PCI bus 59, device 0, function 1"); empty for any other text.
std::string PciAddressOfLocation(const std::string& location);

// The WHEA records counted per part: PCIe ones onto one VARNSG_PCIErrorCounter
// per address, memory ones onto one memory counter per module.
void CountWheaRecords(HealthFacts& facts);

}  // namespace health

#endif
