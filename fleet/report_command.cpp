#include "report_command.h"

#include "fleet_page.h"
#include "fleet_report.h"
#include "output_folder.h"
#include "plural.h"
#include "store_open.h"
#include "store_schema.h"
#include "wyxcore/os_specific.h"

void RunReport(const FleetCommandLine& line, std::ostream& out) {
    std::unique_ptr<SqlConnection> store = OpenStore(line.store, true, line.waitSeconds);
    CheckStoreSchema(*store);
    EnsureOutputFolder(line.outDir);
    const std::string folder = line.outDir + TOSSpecific::kFileSeparator + "fleet";
    const FleetReport report = WriteFleetReport(*store, folder);
    out << Counted(report.servers.size(), "server") << ", " << Counted(report.collectionCount, "collection") << ", "
        << Counted(report.findings.size(), "finding") << " across the fleet, "
        << Counted(report.compares.size(), "compare") << "\n"
        << "Wrote " << folder << TOSSpecific::kFileSeparator << "index.html\n";
}
