#include "fleet_app.h"

#include <new>

#include "compare_command.h"
#include "fleet_command_line.h"
#include "fleet_error.h"
#include "wyxcore/exception.h"

namespace {

const char kProgram[] = "norbix-fleet";

void dispatch(const FleetCommandLine& line, std::ostream& out, std::ostream& err) {
    (void)err;
    if (line.command == "compare") return RunCompare(line, out);
    throw FleetError(line.command + " is not available in this build");
}

}  // namespace

int RunFleet(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    try {
        const FleetCommandLine line = ParseFleetCommandLine(args);
        if (line.help) {
            out << kFleetUsageText;
            return kFleetDone;
        }
        dispatch(line, out, err);
        out.flush();
        if (!out) {
            err << kProgram << ": error: the results could not be written to standard output\n";
            return kFleetFailed;
        }
        return kFleetDone;
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
