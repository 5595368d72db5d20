// Windows offers no documented user-mode interface to the machine's
// temperature, fan and voltage sensors; the hardware maker's management agent
// is where they are read.
#include "sensor_facts.h"

namespace sensors {

std::vector<SensorFacts> Readings(Notes& notes) {
    notes.push_back("No sensor interface on this system");
    return {};
}

}  // namespace sensors
