#ifndef NORBIX_FLEET_COMPARE_COMMAND_H
#define NORBIX_FLEET_COMPARE_COMMAND_H

#include <ostream>

#include "fleet_command_line.h"

// Reads both collections, refuses two of different servers unless forced,
// writes the page and the text report and prints the summary on out.
// Throws FleetError.
void RunCompare(const FleetCommandLine& line, std::ostream& out);

// The name of a comparison's outputs in the output folder.
std::string ComparisonBaseName(const std::string& oldPath, const std::string& newPath);

#endif
