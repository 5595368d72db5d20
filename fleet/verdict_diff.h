#ifndef NORBIX_FLEET_VERDICT_DIFF_H
#define NORBIX_FLEET_VERDICT_DIFF_H

#include <vector>

#include "collection_facts.h"

enum class VerdictChangeKind { kAppeared, kCleared, kChanged };

// A part whose verdict appeared, cleared or changed between two collections.
// A side without the part has hasBefore or hasAfter false.
struct VerdictChange {
    VerdictChangeKind change = VerdictChangeKind::kAppeared;
    bool hasBefore = false, hasAfter = false;
    PartVerdictFact before, after;
};

// "appeared", "cleared", "changed".
const char* VerdictChangeName(VerdictChangeKind change);

// Failed, Degraded and Warning say something is wrong; OK and Unknown do not.
bool VerdictIsProblem(const std::string& verdict);

// Parts are matched by kind, key and scheme. A verdict appears when a part has
// a problem in after and had none in before (or was not there); it clears when
// the problem is gone (or the part is); it changes from one problem to another.
// A part that comes or goes without a problem is the inventory's business.
// In the order of after, then what cleared in the order of before.
std::vector<VerdictChange> DiffPartVerdicts(const std::vector<PartVerdictFact>& before,
                                            const std::vector<PartVerdictFact>& after);

#endif
