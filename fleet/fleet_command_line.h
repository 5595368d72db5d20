#ifndef NORBIX_FLEET_FLEET_COMMAND_LINE_H
#define NORBIX_FLEET_FLEET_COMMAND_LINE_H

#include <string>
#include <vector>

extern const char kFleetUsageText[];
extern const char kDefaultStore[];

struct FleetCommandLine {
    bool help = false;
    std::string command;               // "compare", "ingest", "report", "query"
    std::vector<std::string> operands;
    std::string outDir = ".";
    std::string store = kDefaultStore;
    bool force = false;
    int waitSeconds = 30;               // for a store another process holds
};

// Throws FleetError with kFleetUsage status and a one-line reason for a
// command line that names no known command, an unknown option, or the wrong
// number of operands.
FleetCommandLine ParseFleetCommandLine(const std::vector<std::string>& args);

#endif
