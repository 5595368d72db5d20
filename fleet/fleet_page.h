#ifndef NORBIX_FLEET_FLEET_PAGE_H
#define NORBIX_FLEET_FLEET_PAGE_H

#include <string>

#include "fleet_report.h"

// The fleet page (index.html): the servers with their latest collection and
// its verdict, the findings across the fleet, the versions by type-model.
std::string RenderFleetPage(const FleetReport& report);

// Builds the report from the store and writes the folder: each compare page as
// it is made, the fleet page, the reports' style sheet and script. Throws
// FleetError naming the folder.
FleetReport WriteFleetReport(SqlConnection& store, const std::string& folder);

#endif
