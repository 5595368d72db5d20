#include "report_command.h"

#include "fleet_page.h"
#include "fleet_report.h"
#include "output_folder.h"
#include "store_open.h"
#include "store_schema.h"
#include "wyxcore/os_specific.h"

void RunReport(const FleetCommandLine& line, std::ostream& out) {
    std::unique_ptr<SqlConnection> store = OpenStore(line.store, true, line.waitSeconds);
    CheckStoreSchema(*store);
    EnsureOutputFolder(line.outDir);
    const std::string folder = line.outDir + TOSSpecific::kFileSeparator + "fleet";
    const FleetReport report = WriteFleetReport(*store, folder);
    out << report.servers.size() << " servers, " << report.collectionCount << " collections, "
        << report.findings.size() << " findings across the fleet, " << report.compares.size() << " compares\n"
        << "Wrote " << folder << TOSSpecific::kFileSeparator << "index.html\n";
}
