#ifndef NORBIX_FLEET_REPORT_COMMAND_H
#define NORBIX_FLEET_REPORT_COMMAND_H

#include <ostream>

#include "fleet_command_line.h"

// Writes the fleet report of the store (opened read-only) into the folder
// "fleet" of the output folder and prints what it holds. Throws FleetError.
void RunReport(const FleetCommandLine& line, std::ostream& out);

#endif
