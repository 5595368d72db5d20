#ifndef NORBIX_HEAVY_HITTER_DETAIL_H
#define NORBIX_HEAVY_HITTER_DETAIL_H

#include <string>

class TCIMInstance;
class TContainer;
struct CollectionStatus;

// What a heavy hitter's own text leaves out: for the clock difference, how large
// it is and both clocks, from the processor's clock readings the collection
// holds (from an earlier version's file: from the status lines written just
// before it). Empty when there is nothing to add.
std::string HeavyHitterDetail(const TContainer& container, const TCIMInstance& record,
                              const CollectionStatus& status);

#endif
