#ifndef NORBIX_FLEET_PART_MATCHING_H
#define NORBIX_FLEET_PART_MATCHING_H

#include <string>
#include <vector>

#include "collection_facts.h"

enum class PartChangeKind { kAdded, kRemoved, kChanged };

// One part that differs between two collections; before or after is empty for
// an added or removed part.
struct PartChange {
    PartChangeKind change = PartChangeKind::kChanged;
    std::string kind;
    PartFact before, after;
    std::vector<std::string> what;   // "serial", "size", "location", "firmware"
};

const char* PartChangeName(PartChangeKind change);

// Parts of one kind are matched first by serial number (a part moved to another
// slot is the same part), then by location (a part replaced in its slot is a
// changed part); what stays unmatched was added or removed. Two parts that
// carry no serial and share a location are matched in order.
std::vector<PartChange> MatchParts(const std::vector<PartFact>& before, const std::vector<PartFact>& after);

#endif
