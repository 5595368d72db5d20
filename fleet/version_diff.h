#ifndef NORBIX_FLEET_VERSION_DIFF_H
#define NORBIX_FLEET_VERSION_DIFF_H

#include <string>
#include <vector>

#include "collection_facts.h"

// A software identity (kind and name) whose version differs between two
// collections; before or after is empty for one that appeared or went.
struct VersionChange {
    std::string kind;
    std::string name;
    std::string before, after;
    bool appeared = false, went = false;
};

// Identities are matched by kind and name. One that a collection lists more
// than once (two drivers of one name) is compared as its set of versions.
// In the order of after, then what went in the order of before.
std::vector<VersionChange> DiffVersions(const std::vector<VersionFact>& before, const std::vector<VersionFact>& after);

#endif
