#ifndef NORBIX_FLEET_FLEET_PAGE_H
#define NORBIX_FLEET_FLEET_PAGE_H

#include <string>

#include "fleet_report.h"

// The fleet page (index.html): the servers with their latest collection and
// its verdict, the findings across the fleet, the versions by type-model.
std::string RenderFleetPage(const FleetReport& report);

// Writes the folder: the fleet page, each compare page, the reports' style
// sheet and script. Throws FleetError naming the folder.
void WriteFleetReport(const FleetReport& report, const std::string& folder);

#endif
