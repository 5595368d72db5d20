#ifndef NORBIX_FLEET_FLEET_REPORT_H
#define NORBIX_FLEET_FLEET_REPORT_H

#include <functional>
#include <string>
#include <vector>

#include "comparison.h"
#include "sql_connection.h"

// The fleet as the report shows it, decided once from the store. Every list is
// sorted here, byte-wise, so two stores of the same collections give the same
// report whatever their database's collation.
struct FleetServer {
    std::string serial, typeModel, host;
    std::string latestFile, latestCollected;
    std::string verdict;           // the parts model's headline
    std::string verdictSeverity;   // "Error" with a part failing, "Warning" with one warned of, else empty
    size_t collections = 0;
    std::string latestCompare;   // page of the latest collection's compare, empty without a predecessor
};

struct FleetFindingGroup {
    std::string severity, category, description, message;
    std::vector<std::string> servers;   // serials
};

struct FleetVersion {
    std::string typeModel, kind, name, version;
    std::vector<std::string> servers;
    bool outlier = false;   // fewer servers of the type-model run it than the most common version
};

struct FleetCompare {
    std::string page;             // file name in the report's folder
    std::string serial;
    std::string oldFile, newFile;
    std::string summary;          // ComparisonSummary
};

// Installed packages number in the thousands on a server: the page's versions
// leave them out (the store and compare keep them).
extern const char kPackageKind[];

struct FleetReport {
    size_t collectionCount = 0;
    std::vector<FleetServer> servers;
    std::vector<FleetFindingGroup> findings;
    std::vector<FleetVersion> versions;
    std::vector<FleetCompare> compares;   // each collection with its predecessor
};

// Receives each comparison of a collection with its predecessor as it is
// made, to render its page; the report keeps only its summary, so a fleet
// with a long history never holds more than one comparison.
using ComparePageSink = std::function<void(const FleetCompare&, const Comparison&)>;

FleetReport BuildFleetReport(SqlConnection& store, const ComparePageSink& comparePage = ComparePageSink());

#endif
