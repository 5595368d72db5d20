#ifndef HEALTH_WHEA_LOG_H
#define HEALTH_WHEA_LOG_H

#include "health_facts.h"

namespace health {

// Windows: the newest hardware-error events of the System event log as
// records (oldest first), and their counts per part.
void ReadWheaLog(HealthFacts& facts);

}  // namespace health

#endif
