#ifndef NORBIX_FLEET_COLLECTION_FACTS_H
#define NORBIX_FLEET_COLLECTION_FACTS_H

#include <cstdint>
#include <string>
#include <vector>

#include "wyxcore/datetime.h"

class TContainer;

// What the fleet program compares and stores of one collection, read once from
// its container: the same facts feed compare, the store and the fleet page.

// One record of a log the server keeps (service processor, SEL, OS log,
// hardware errors). Its identity is (log, recordId, corrected time, message).
struct LogRecordFact {
    std::string className;
    std::string log;          // the class, refined by the log or processor it came from
    std::string recordId;
    bool hasTime = false;
    int64_t utcSeconds = 0;   // corrected time
    std::string shownTime;    // as recorded, readable
    std::string severity;
    std::string message;
};

// One finding group of the analysis (lib/report's grouping).
struct FindingFact {
    std::string severity;
    std::string category;
    std::string description;
    std::string sourceClass;
    std::string message;
    size_t count = 0;
};

// One inventoried part: a DIMM, a disk, a processor, an adapter, a PCI device.
struct PartFact {
    std::string kind;         // "DIMM", "Disk", ...
    std::string location;     // slot, device path, address
    std::string serial;
    std::string size;         // as the class holds it (bytes), empty when it has none
    std::string name;         // model or part number, to recognise it
    std::string firmware;
};

// One part as the report model judges it: identified by kind, key and scheme
// (the model's own naming), named as a reader reads it.
struct PartVerdictFact {
    std::string kind;         // "DIMM", "Fan", ...
    std::string key;
    std::string scheme;
    std::string name;         // "Fan 3", "DIMM DIMM_A4"
    std::string verdict;      // "Failed", "Degraded", "Warning", "Unknown", "OK"
    bool hasLatest = false;   // time of the latest evidence with a trusted time
    int64_t latestUtc = 0;
    std::string latestShown;
    size_t evidence = 0;
};

// One software identity: firmware, BIOS, driver, operating system, package.
struct VersionFact {
    std::string kind;
    std::string name;
    std::string version;
};

struct CollectionFacts {
    std::string host;
    std::string serial;
    std::string typeModel;
    std::string manufacturer;
    std::string model;
    bool hasCollectionTime = false;
    int64_t collectedUtc = 0;
    std::string collectedShown;
    std::vector<LogRecordFact> records;
    std::vector<FindingFact> findings;
    std::vector<PartFact> parts;
    std::vector<VersionFact> versions;
    std::vector<PartVerdictFact> partVerdicts;   // most severe first, as the model orders them
    // The model's headline: "3 parts failing, 2 with warnings", or its one-line clean verdict.
    std::string verdict;
    size_t partsFailing = 0, partsWarnings = 0;
};

CollectionFacts ReadCollectionFacts(const TContainer& container);

// The classes whose records are log records of the server, with the property
// that tells their logs apart.
struct LogClass {
    const char* className;
    const char* label;
    const char* logProperty;   // may be null
};
extern const LogClass kLogClasses[];
extern const size_t kLogClassCount;

#endif
