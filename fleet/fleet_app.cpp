#include "fleet_app.h"

#include <new>

#include "compare_command.h"
#include "fleet_command_line.h"
#include "fleet_error.h"
#include "ingest_command.h"
#include "query_command.h"
#include "report_command.h"
#include "wyxcore/exception.h"

namespace {

const char kProgram[] = "norbix-fleet";

// False when the command was done in part (an ingest that refused a file).
bool dispatch(const FleetCommandLine& line, std::ostream& out, std::ostream& err) {
    if (line.command == "compare") {
        RunCompare(line, out);
    } else if (line.command == "ingest") {
        return RunIngest(line, out, err);
    } else if (line.command == "report") {
        RunReport(line, out);
    } else {
        RunQuery(line, out);
    }
    return true;
}

}  // namespace

int RunFleet(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    try {
        const FleetCommandLine line = ParseFleetCommandLine(args);
        if (line.help) {
            out << kFleetUsageText;
            return kFleetDone;
        }
        const bool whole = dispatch(line, out, err);
        out.flush();
        if (!out) {
            err << kProgram << ": error: the results could not be written to standard output\n";
            return kFleetFailed;
        }
        return whole ? kFleetDone : kFleetFailed;
    } catch (const FleetError& e) {
        err << kProgram << ": " << (e.status() == kFleetUsage ? "usage: " : "error: ") << e.what() << "\n";
        if (e.status() == kFleetUsage) err << "Try '" << kProgram << " --help'.\n";
        return e.status();
    } catch (const TWYXException& e) {
        err << kProgram << ": error: " << e.what() << "\n";
    } catch (const std::bad_alloc&) {
        err << kProgram << ": error: out of memory\n";
    } catch (const std::exception& e) {
        err << kProgram << ": error: " << e.what() << "\n";
    }
    return kFleetFailed;
}
