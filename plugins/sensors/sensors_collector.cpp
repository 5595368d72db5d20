// The "Sensors" collector: temperatures, fan speeds and voltages with their
// thresholds.
#include "instance_builder.h"
#include "machine_collector.h"
#include "sensor_facts.h"

namespace {

void setReading(InstanceBuilder& builder, const char* name, const SensorFacts::Value& value) {
    if (value.known) builder.Value(name, TCIMValue::FromText(kCIMReal64, std::to_string(value.value)));
}

void addSensors(TContainer& container, Notes& notes) {
    for (const SensorFacts& sensor : sensors::Readings(notes)) {
        InstanceBuilder builder(container, "VARNSG_NumericSensor");
        builder.Text("Name", sensor.name).Text("Device", sensor.device).Text("SensorType", sensor.type).Text(
            "Units", sensor.units);
        setReading(builder, "CurrentReading", sensor.reading);
        setReading(builder, "LowerThresholdCritical", sensor.lowerCritical);
        setReading(builder, "UpperThresholdNonCritical", sensor.upperNonCritical);
        setReading(builder, "UpperThresholdCritical", sensor.upperCritical);
        builder.Commit();
    }
}

}  // namespace

extern "C" WYX_PLUGIN_EXPORT IPluginCallbacks* wyxCreatePlugin() {
    static MachineCollector collector("Sensors", {{"VARNSG_NumericSensor", addSensors}});
    return &collector;
}
