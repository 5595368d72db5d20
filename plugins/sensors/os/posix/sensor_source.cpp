// Sensors from the kernel's hwmon class (below WYX_SYSFS_ROOT when that is set).
#include <cstdlib>
#include <set>

#include "host_files.h"
#include "sensor_facts.h"

namespace sensors {

namespace {

// A large server has a few hundred.
const size_t kSensorLimit = 4096;

struct Kind {
    const char* prefix;
    const char* type;
    const char* units;
    double scale;              // hwmon's unit per reported unit
    const char* lowerCritical;
    const char* upperNonCritical;
    const char* upperCritical;
};

const Kind kKinds[] = {
    {"temp", "Temperature", "Degrees C", 1000, "_lcrit", "_max", "_crit"},
    {"fan", "Fan", "RPM", 1, "_min", nullptr, nullptr},
    {"in", "Voltage", "Volts", 1000, "_min", nullptr, "_max"},
};

// A signed decimal of at most 12 digits; anything else is no reading.
SensorFacts::Value readScaled(const std::string& path, double scale) {
    SensorFacts::Value value;
    const std::string text = hostfs::ReadValue(path);
    const size_t digits = text.compare(0, 1, "-") == 0 ? 1 : 0;
    if (text.size() <= digits || text.size() - digits > 12 ||
        text.find_first_not_of("0123456789", digits) != std::string::npos)
        return value;
    value.known = true;
    value.value = static_cast<double>(std::strtoll(text.c_str(), nullptr, 10)) / scale;
    return value;
}

}  // namespace

std::vector<SensorFacts> Readings(Notes& notes) {
    std::vector<SensorFacts> readings;
    const std::vector<std::string> chips = hostfs::List("/sys/class/hwmon", notes);
    if (chips.empty()) notes.push_back("No hwmon sensors on this system");
    // The class holds links; many may lead to one device, which is read once.
    std::set<std::string> seen;
    for (const std::string& chip : chips) {
        const std::string dir = "/sys/class/hwmon/" + chip + "/";
        const std::string real = hostfs::RealPath(dir);
        if (real.empty() || !seen.insert(real).second) continue;
        const std::string device = hostfs::ReadValue(dir + "name");
        for (const std::string& file : hostfs::List(dir, notes)) {
            const std::string suffix = "_input";
            if (file.size() <= suffix.size() || file.compare(file.size() - suffix.size(), suffix.size(), suffix) != 0)
                continue;
            const std::string input = file.substr(0, file.size() - suffix.size());
            for (const Kind& kind : kKinds) {
                const std::string prefix = kind.prefix;
                if (input.compare(0, prefix.size(), prefix) != 0 ||
                    input.find_first_not_of("0123456789", prefix.size()) != std::string::npos ||
                    input.size() == prefix.size())
                    continue;
                if (readings.size() == kSensorLimit) {
                    notes.push_back("Only the first " + std::to_string(kSensorLimit) + " sensors collected");
                    return readings;
                }
                SensorFacts sensor;
                sensor.name = hostfs::ReadValue(dir + input + "_label");
                if (sensor.name.empty()) sensor.name = input;
                sensor.device = device.empty() ? chip : device;
                sensor.type = kind.type;
                sensor.units = kind.units;
                sensor.reading = readScaled(dir + file, kind.scale);
                if (kind.lowerCritical) sensor.lowerCritical = readScaled(dir + input + kind.lowerCritical, kind.scale);
                if (kind.upperNonCritical)
                    sensor.upperNonCritical = readScaled(dir + input + kind.upperNonCritical, kind.scale);
                if (kind.upperCritical) sensor.upperCritical = readScaled(dir + input + kind.upperCritical, kind.scale);
                readings.push_back(sensor);
            }
        }
    }
    return readings;
}

}  // namespace sensors
