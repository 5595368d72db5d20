#ifndef NORBIX_COLLECTION_STATUS_H
#define NORBIX_COLLECTION_STATUS_H

#include <cstddef>
#include <string>
#include <vector>

#include "wyxcore/datetime.h"

class TContainer;

// One record of the run log as the reports show it.
struct RunLogEntry {
    size_t position = 0;       // in the class's enumeration: the row's anchor
    std::string recordId;
    int type = -1;             // -1 when the record has none
    std::string typeName;
    std::string source;
    std::string message;
    bool hasTime = false;
    TCIMDateTime at;
};

enum class CollectorState { kRan, kFailed, kSkipped, kNotLoaded, kAbandoned };

// What one collector did in the run.
struct CollectorStatus {
    std::string plugin;
    std::string selection;
    CollectorState state = CollectorState::kRan;
    size_t instancesAdded = 0;
    std::vector<size_t> errors;   // indexes into CollectionStatus::runLog
};

struct CollectionStatus {
    std::vector<RunLogEntry> runLog;          // in record order
    std::vector<CollectorStatus> collectors;  // in the order they first appear
    bool collectorsRecorded = false;          // the run said which collectors ran
    std::vector<size_t> errors;               // every error record, indexes into runLog
    bool runLogSaved = false;                 // the collection holds its run log: without it, nothing is known
                                              // of errors (complete says nothing then)
    bool complete = true;                     // no error anywhere, nothing failed or missing
    bool serviceProcessorRead = false;
    std::string serviceProcessor;             // one line: found and read, not found, or not read and why
};

const char* CollectorStateName(CollectorState state);
// Failed, not loaded or abandoned: what it should have collected may be missing.
bool CollectorStateIsFailure(CollectorState state);

CollectionStatus BuildCollectionStatus(const TContainer& container);

#endif
