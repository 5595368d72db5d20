#ifndef HEALTH_HEALTH_SOURCE_H
#define HEALTH_HEALTH_SOURCE_H

#include "health_facts.h"

namespace health {

// Everything this OS tells about the hardware's health.
HealthFacts Collect();

}  // namespace health

#endif
