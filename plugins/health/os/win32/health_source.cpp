// Windows: nothing yet beyond what the portable sources read.
#include "health_source.h"

namespace health {

HealthFacts Collect() {
    HealthFacts facts;
    return facts;
}

}  // namespace health
