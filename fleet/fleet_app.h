#ifndef NORBIX_FLEET_FLEET_APP_H
#define NORBIX_FLEET_FLEET_APP_H

#include <ostream>
#include <string>
#include <vector>

// The program: the command line done, results on out, messages on err; the
// exit status (FleetStatus).
int RunFleet(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

#endif
