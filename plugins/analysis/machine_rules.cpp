#include "machine_rules.h"

#include <cstdlib>
#include <map>

#include "health_rules.h"
#include "wyxcore/container.h"

namespace {

std::string textOf(const TCIMInstance& instance, const char* name) {
    const TCIMValue* value = instance.GetPropertyValue(name);
    return value ? value->GetText() : std::string();
}

bool numberOf(const TCIMInstance& instance, const char* name, double* number) {
    const TCIMValue* value = instance.GetPropertyValue(name);
    if (!value || value->GetText().empty()) return false;
    char* end = nullptr;
    *number = std::strtod(value->GetText().c_str(), &end);
    return *end == '\0';
}

std::vector<const TCIMInstance*> rowsOf(const TContainer& container, const char* className) {
    const TCIMClass* cimClass = container.FindClass(className);
    if (!cimClass) return {};
    const std::vector<TCIMInstance*> rows = cimClass->EnumerateInstances(true);
    return std::vector<const TCIMInstance*>(rows.begin(), rows.end());
}

// States in which a disk works: the kernel's ("running", "live") and Windows'.
bool workingDiskState(const std::string& state) {
    return state.empty() || state == "running" || state == "live" || state == "OK";
}

void diskRules(const TContainer& container, std::vector<MachineFinding>& found) {
    for (const TCIMInstance* disk : rowsOf(container, "VARNSG_DiskDrive")) {
        const std::string state = textOf(*disk, "Status");
        if (workingDiskState(state)) continue;
        const std::string id = textOf(*disk, "DeviceID");
        found.push_back({disk, "DeviceID=" + id, "Disk", "Error",
                         "Disk " + id + " (" + textOf(*disk, "Model") + ") reports state " + state});
    }
}

void sensorRules(const TContainer& container, std::vector<MachineFinding>& found) {
    for (const TCIMInstance* sensor : rowsOf(container, "VARNSG_NumericSensor")) {
        double reading = 0, limit = 0;
        if (!numberOf(*sensor, "CurrentReading", &reading)) continue;
        const std::string name = textOf(*sensor, "Name"), device = textOf(*sensor, "Device");
        const std::string what = textOf(*sensor, "SensorType") + " sensor " + name + " of " + device + " reads " +
                                 textOf(*sensor, "CurrentReading") + " " + textOf(*sensor, "Units");
        const std::string key = "Name=" + name + ", Device=" + device;
        const std::string category = textOf(*sensor, "SensorType");
        if (numberOf(*sensor, "UpperThresholdCritical", &limit) && reading >= limit)
            found.push_back({sensor, key, category, "Error", what + ", at or over its critical limit"});
        else if (numberOf(*sensor, "UpperThresholdNonCritical", &limit) && reading > limit)
            found.push_back({sensor, key, category, "Warning", what + ", over its warning limit"});
        else if (numberOf(*sensor, "LowerThresholdCritical", &limit) && reading <= limit)
            found.push_back({sensor, key, category, "Error", what + ", at or under its critical limit"});
    }
}

void osLogRules(const TContainer& container, std::vector<MachineFinding>& found) {
    struct Flood {
        size_t errors = 0;
        const TCIMInstance* newest = nullptr;
    };
    std::map<std::string, Flood> bySource;
    for (const TCIMInstance* record : rowsOf(container, "VARNSG_OSEventLogRecord")) {
        if (textOf(*record, "Severity") != "Error") continue;
        Flood& flood = bySource[textOf(*record, "Source")];
        ++flood.errors;
        flood.newest = record;   // the records are kept oldest first
    }
    for (const auto& source : bySource)
        if (source.second.errors >= kOsErrorFlood)
            found.push_back({source.second.newest, "Source=" + source.first, "OS log", "Warning",
                             std::to_string(source.second.errors) + " errors from " + source.first +
                                 " in the system log"});
}

// The controller's own severity of each asserted event, naming the sensor by
// its type and number (the log carries no sensor names). A sensor that logs the
// same event again and again is one finding, named by its newest record, so a
// flapping sensor cannot bury the others; a log that is full or has
// overflowed has dropped events.
void selRules(const TContainer& container, std::vector<MachineFinding>& found) {
    struct Repeats {
        size_t count = 0;
        const TCIMInstance* newest = nullptr;
        std::string severity, sensor;
    };
    std::map<std::string, Repeats> byEvent;
    std::vector<std::string> order;   // as first met, so findings keep the log's order
    for (const TCIMInstance* record : rowsOf(container, "VARNSG_SELRecord")) {
        const std::string severity = textOf(*record, "Severity");
        if (severity != "Error" && severity != "Warning") continue;
        double number = 0;
        std::string sensor = textOf(*record, "SensorType") + " sensor";
        if (numberOf(*record, "SensorNumber", &number)) sensor += " " + std::to_string(static_cast<int>(number));
        const std::string key = sensor + '\n' + severity + '\n' + textOf(*record, "Message");
        Repeats& repeats = byEvent[key];
        if (repeats.count++ == 0) order.push_back(key);
        repeats.newest = record;   // the records are kept oldest first
        repeats.severity = severity;
        repeats.sensor = sensor;
    }
    // The report shows the record's message beside the description.
    for (const std::string& key : order) {
        const Repeats& r = byEvent[key];
        found.push_back({r.newest, "RecordID=" + textOf(*r.newest, "RecordID"), "SEL", r.severity,
                         r.count == 1 ? r.sensor : r.sensor + " (" + std::to_string(r.count) + " events)"});
    }
    for (const TCIMInstance* info : rowsOf(container, "VARNSG_SELInfo")) {
        double free = 0;
        const bool full = numberOf(*info, "FreeBytes", &free) && free < 16;   // no room for one more record
        const bool overflow = textOf(*info, "Overflow") == "true";
        if (full || overflow)
            found.push_back({info, "Source=" + textOf(*info, "Source"), "SEL", "Warning",
                             std::string("The management controller's event log ") +
                                 (overflow ? "has overflowed" : "is full") + ": events have been lost"});
    }
}

}  // namespace

std::vector<MachineFinding> MachineFindings(const TContainer& container) {
    std::vector<MachineFinding> found;
    diskRules(container, found);
    sensorRules(container, found);
    osLogRules(container, found);
    HealthFindings(container, found);
    selRules(container, found);
    return found;
}
