#ifndef NORBIX_HEAVY_HITTER_DETAIL_H
#define NORBIX_HEAVY_HITTER_DETAIL_H

#include <string>

class TCIMInstance;
struct CollectionStatus;

// What the run log says around a heavy hitter that its own text leaves out:
// for the clock difference, how large it is and both clocks, from the status
// lines written just before it. Empty when there is nothing to add.
std::string HeavyHitterDetail(const TCIMInstance& record, const CollectionStatus& status);

#endif
