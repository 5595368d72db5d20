#ifndef SENSORS_SENSOR_FACTS_H
#define SENSORS_SENSOR_FACTS_H

#include <string>
#include <vector>

#include "hardware_facts.h"

// One reading with the thresholds the hardware states. A threshold that is not
// stated stays unknown.
struct SensorFacts {
    std::string name;
    std::string device;
    std::string type;        // "Temperature", "Fan", "Voltage"
    std::string units;       // "Degrees C", "RPM", "Volts"
    struct Value {
        bool known = false;
        double value = 0;
    };
    Value reading, lowerCritical, upperNonCritical, upperCritical;
};

namespace sensors {

std::vector<SensorFacts> Readings(Notes& notes);

}  // namespace sensors

#endif
