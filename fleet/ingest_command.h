#ifndef NORBIX_FLEET_INGEST_COMMAND_H
#define NORBIX_FLEET_INGEST_COMMAND_H

#include <ostream>

#include "fleet_command_line.h"

// Stores each file of the command line in its own transaction. A file that is
// no collection is refused with its reason on err and the others go on; a
// failure of the store itself ends the command (FleetError). False when a
// file was refused.
bool RunIngest(const FleetCommandLine& line, std::ostream& out, std::ostream& err);

#endif
