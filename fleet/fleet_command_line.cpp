#include "fleet_command_line.h"

#include "fleet_error.h"

const char kDefaultStore[] = "fleet.db";

const char kFleetUsageText[] =
    "Usage: norbix-fleet COMMAND [OPTION]... [OPERAND]...\n"
    "Compares collections of norbix and keeps a store of them for a fleet of servers.\n"
    "\n"
    "Commands:\n"
    "  compare OLD NEW   what changed on one server from collection OLD to NEW (.xml.gz or\n"
    "                    .xml): new log records, findings, parts and versions; writes an\n"
    "                    HTML page (a folder) and a text report into the output folder\n"
    "  ingest FILE...    adds collections to the store; a file already stored is skipped\n"
    "  report            writes the fleet page of the store into the output folder\n"
    "  query SQL         runs one read-only SQL statement on the store and prints CSV\n"
    "\n"
    "Options:\n"
    "  --out DIR         output folder of compare and report (default: the current folder)\n"
    "  --store STORE     an SQLite file (default: fleet.db) or a postgresql:// address\n"
    "  --force           compare collections of different servers all the same\n"
    "  --wait SECONDS    how long to wait for a store that another process holds (default: 30)\n"
    "  --help            shows this text\n"
    "\n"
    "Exit status: 0 done, 1 failed, 2 wrong command line.\n";

namespace {

[[noreturn]] void usage(const std::string& reason) { throw FleetError(reason, kFleetUsage); }

}  // namespace

FleetCommandLine ParseFleetCommandLine(const std::vector<std::string>& args) {
    FleetCommandLine line;
    bool operandsOnly = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (operandsOnly || arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
            if (line.command.empty())
                line.command = arg;
            else
                line.operands.push_back(arg);
            continue;
        }
        if (arg == "--") {
            operandsOnly = true;
            continue;
        }
        const size_t equals = arg.find('=');
        const std::string name = arg.substr(0, equals);
        auto value = [&]() -> std::string {
            if (equals != std::string::npos) return arg.substr(equals + 1);
            if (i + 1 >= args.size()) usage("option " + name + " needs a value");
            return args[++i];
        };
        if (name == "--help" && equals == std::string::npos) {
            line.help = true;
        } else if (name == "--force" && equals == std::string::npos) {
            line.force = true;
        } else if (name == "--out") {
            line.outDir = value();
        } else if (name == "--store") {
            line.store = value();
        } else if (name == "--wait") {
            const std::string seconds = value();
            if (seconds.empty() || seconds.size() > 5 || seconds.find_first_not_of("0123456789") != std::string::npos)
                usage("option --wait takes a number of seconds");
            line.waitSeconds = std::stoi(seconds);
        } else {
            usage("unknown option " + arg);
        }
        if ((name == "--out" || name == "--store") && (name == "--out" ? line.outDir : line.store).empty())
            usage("option " + name + " needs a value");
    }
    if (line.help) return line;
    if (line.command.empty()) usage("no command given");
    const std::string& c = line.command;
    const size_t n = line.operands.size();
    if (c == "compare") {
        if (n != 2) usage("compare takes two collections, OLD and NEW");
    } else if (c == "ingest") {
        if (n == 0) usage("ingest takes one collection or more");
    } else if (c == "report") {
        if (n != 0) usage("report takes no operands");
    } else if (c == "query") {
        if (n != 1) usage("query takes one SQL statement");
    } else {
        usage("unknown command " + c);
    }
    return line;
}
