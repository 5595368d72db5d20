#ifndef NORBIX_FLEET_COMPARISON_H
#define NORBIX_FLEET_COMPARISON_H

#include <string>
#include <vector>

#include "collection_facts.h"
#include "part_matching.h"
#include "verdict_diff.h"
#include "version_diff.h"

enum class FindingChangeKind { kAppeared, kCleared, kChanged };

// A finding group (rule, description, source class, message) that appeared,
// cleared or changed severity between two collections.
struct FindingChange {
    FindingChangeKind change = FindingChangeKind::kAppeared;
    FindingFact before, after;   // the side it is missing from stays empty
};

const char* FindingChangeName(FindingChangeKind change);

std::vector<FindingChange> DiffFindings(const std::vector<FindingFact>& before, const std::vector<FindingFact>& after);

// What changed on one server between two of its collections.
struct Comparison {
    std::string oldFile, newFile;
    CollectionFacts oldFacts, newFacts;
    std::vector<const LogRecordFact*> newRecords;   // into newFacts
    size_t goneRecords = 0;                          // of old's records, how many new no longer holds
    std::vector<FindingChange> findings;
    std::vector<VerdictChange> verdicts;
    std::vector<PartChange> parts;
    std::vector<VersionChange> versions;
};

// oldFacts and newFacts are moved in; the record pointers point into them.
void Compare(CollectionFacts oldFacts, CollectionFacts newFacts, Comparison* comparison);

// "3 new log records; findings: 1 appeared, ..." : one line of counts.
std::string ComparisonSummary(const Comparison& comparison);

#endif
