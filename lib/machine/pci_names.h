#ifndef MACHINE_PCI_NAMES_H
#define MACHINE_PCI_NAMES_H

#include <cstddef>
#include <string>
#include <vector>

#include "hardware_facts.h"

// Vendor and device names from the PCI ID database ("8086  Vendor" lines,
// "\t100e  Device" lines below them).
namespace pcinames {

// The database is about 1.5 MB; a file far beyond that is not read to its end.
const size_t kDatabaseLimit = 8 << 20;

// Names the devices whose vendor and device IDs ("0x8086" or "8086", in any
// case) the text lists: manufacturer from the vendor line, name from the
// device line. Malformed lines are skipped, a device line under a malformed
// vendor line names nothing, and a last line without its newline is taken as
// cut off. Devices not listed keep what they have.
void Name(const std::string& text, std::vector<PciFacts>& devices);

}  // namespace pcinames

#endif
