#include <gtest/gtest.h>

#include "machine_rules.h"
#include "support/sample_container.h"
#include "wyxcore/container.h"

namespace {

using Values = std::vector<std::pair<std::string, std::string> >;

void declare(TContainer& c, const char* name, const std::vector<const char*>& properties) {
    std::vector<std::pair<std::string, TCIMType> > decls;
    for (const char* p : properties) decls.emplace_back(p, kCIMString);
    DeclareTestClass(c, name, decls);
}

// Each finding as "Category/Severity SourceKey: Description".
std::vector<std::string> found(const TContainer& c) {
    std::vector<std::string> out;
    for (const MachineFinding& f : MachineFindings(c))
        out.push_back(f.category + "/" + f.severity + " " + f.sourceKey + ": " + f.description);
    return out;
}

TEST(MachineRules, DisksSensorsAndOsErrorFloods) {
    const struct {
        const char* what;
        const char* className;
        std::vector<Values> rows;
        std::vector<std::string> expected;
    } cases[] = {
        {"disks: working states give nothing",
         "VARNSG_DiskDrive",
         {{{"DeviceID", "sda"}, {"Status", "running"}},
          {{"DeviceID", "sdb"}},
          {{"DeviceID", "nvme0n1"}, {"Status", "live"}}},
         {}},
        {"disk offline", "VARNSG_DiskDrive", {{{"DeviceID", "sdc"}, {"Model", "Varn 4T"}, {"Status", "offline"}}},
         {"Disk/Error DeviceID=sdc: Disk sdc (Varn 4T) reports state offline"}},
        {"temperature at its critical limit", "VARNSG_NumericSensor",
         {{{"Name", "CPU"}, {"Device", "coretemp"}, {"SensorType", "Temperature"}, {"Units", "Degrees C"},
           {"CurrentReading", "100"}, {"UpperThresholdNonCritical", "80"}, {"UpperThresholdCritical", "100"}}},
         {"Temperature/Error Name=CPU, Device=coretemp: Temperature sensor CPU of coretemp reads 100 Degrees C, at or "
          "over its critical limit"}},
        {"temperature over its warning limit only", "VARNSG_NumericSensor",
         {{{"Name", "CPU"}, {"Device", "c"}, {"SensorType", "Temperature"}, {"Units", "Degrees C"},
           {"CurrentReading", "85.5"}, {"UpperThresholdNonCritical", "80"}, {"UpperThresholdCritical", "100"}}},
         {"Temperature/Warning Name=CPU, Device=c: Temperature sensor CPU of c reads 85.5 Degrees C, over its warning "
          "limit"}},
        {"stopped fan", "VARNSG_NumericSensor",
         {{{"Name", "fan1"}, {"Device", "d"}, {"SensorType", "Fan"}, {"Units", "RPM"}, {"CurrentReading", "0"},
           {"LowerThresholdCritical", "300"}}},
         {"Fan/Error Name=fan1, Device=d: Fan sensor fan1 of d reads 0 RPM, at or under its critical limit"}},
        {"readings within limits, without thresholds or unreadable", "VARNSG_NumericSensor",
         {{{"Name", "a"}, {"CurrentReading", "40"}, {"UpperThresholdCritical", "90"}, {"LowerThresholdCritical", "5"}},
          {{"Name", "b"}, {"CurrentReading", "400"}},
          {{"Name", "c"}, {"CurrentReading", "n/a"}, {"UpperThresholdCritical", "1"}}},
         {}},
    };
    for (const auto& c : cases) {
        TContainer container(TContainer::kEmpty);
        declare(container, "VARNSG_DiskDrive", {"DeviceID", "Model", "Status"});
        declare(container, "VARNSG_NumericSensor", {"Name", "Device", "SensorType", "Units", "CurrentReading",
                                                    "LowerThresholdCritical", "UpperThresholdNonCritical",
                                                    "UpperThresholdCritical"});
        for (const Values& row : c.rows) AddTestInstance(container, c.className, row);
        EXPECT_EQ(c.expected, found(container)) << c.what;
    }
}

TEST(MachineRules, AFloodOfErrorsFromOneSourceNamesItsNewestRecord) {
    TContainer container(TContainer::kEmpty);
    declare(container, "VARNSG_OSEventLogRecord", {"RecordID", "Source", "Severity", "Message"});
    for (size_t i = 0; i < kOsErrorFlood; ++i) {
        AddTestInstance(container, "VARNSG_OSEventLogRecord",
                        {{"RecordID", std::to_string(i)}, {"Source", "disk"}, {"Severity", "Error"}});
        // One short of a flood, and warnings that do not count.
        if (i + 1 < kOsErrorFlood)
            AddTestInstance(container, "VARNSG_OSEventLogRecord", {{"Source", "usb"}, {"Severity", "Error"}});
        AddTestInstance(container, "VARNSG_OSEventLogRecord", {{"Source", "net"}, {"Severity", "Warning"}});
    }
    const std::vector<MachineFinding> findings = MachineFindings(container);
    ASSERT_EQ(1u, findings.size());
    EXPECT_EQ("Source=disk", findings[0].sourceKey);
    EXPECT_EQ(std::to_string(kOsErrorFlood) + " errors from disk in the system log", findings[0].description);
    EXPECT_EQ(std::to_string(kOsErrorFlood - 1), findings[0].source->GetPropertyValue("RecordID")->GetText());
}

TEST(MachineRules, SelEventsByTheirOwnSeverityAndALogThatLostEvents) {
    const struct {
        const char* what;
        const char* className;
        std::vector<Values> rows;
        std::vector<std::string> expected;
    } cases[] = {
        {"failure and threshold events", "VARNSG_SELRecord",
         {{{"RecordID", "1"}, {"SensorType", "Power Supply"}, {"SensorNumber", "65"}, {"Severity", "Error"},
           {"Message", "Power Supply Failure detected"}},
          {{"RecordID", "2"}, {"SensorType", "Temperature"}, {"SensorNumber", "1"}, {"Severity", "Warning"},
           {"Message", "Upper Non-critical going high"}},
          {{"RecordID", "3"}, {"SensorType", "Fan"}, {"SensorNumber", "48"}, {"Severity", "Info"},
           {"Message", "Lower Critical going low"}},
          {{"RecordID", "4"}, {"Message", "OEM record"}, {"Severity", "Info"}}},
         {"SEL/Error RecordID=1: Power Supply sensor 65", "SEL/Warning RecordID=2: Temperature sensor 1"}},
        {"a sensor repeating one event is one finding, named by its newest record", "VARNSG_SELRecord",
         {{{"RecordID", "7"}, {"SensorType", "Fan"}, {"SensorNumber", "48"}, {"Severity", "Error"},
           {"Message", "Lower Critical going low"}},
          {{"RecordID", "8"}, {"SensorType", "Fan"}, {"SensorNumber", "49"}, {"Severity", "Error"},
           {"Message", "Lower Critical going low"}},
          {{"RecordID", "9"}, {"SensorType", "Fan"}, {"SensorNumber", "48"}, {"Severity", "Error"},
           {"Message", "Lower Critical going low"}},
          {{"RecordID", "10"}, {"SensorType", "Fan"}, {"SensorNumber", "48"}, {"Severity", "Warning"},
           {"Message", "Lower Non-critical going low"}}},
         {"SEL/Error RecordID=9: Fan sensor 48 (2 events)", "SEL/Error RecordID=8: Fan sensor 49",
          "SEL/Warning RecordID=10: Fan sensor 48"}},
        {"overflowed log", "VARNSG_SELInfo", {{{"Source", "ipmi"}, {"FreeBytes", "2048"}, {"Overflow", "true"}}},
         {"SEL/Warning Source=ipmi: The management controller's event log has overflowed: events have been lost"}},
        {"full log", "VARNSG_SELInfo", {{{"Source", "ipmi"}, {"FreeBytes", "15"}, {"Overflow", "false"}}},
         {"SEL/Warning Source=ipmi: The management controller's event log is full: events have been lost"}},
        {"room left, no overflow, or nothing known", "VARNSG_SELInfo",
         {{{"Source", "ipmi"}, {"FreeBytes", "16"}, {"Overflow", "false"}}, {{"Source", "ipmi"}}},
         {}},
    };
    for (const auto& c : cases) {
        TContainer container(TContainer::kEmpty);
        declare(container, "VARNSG_SELRecord", {"RecordID", "SensorType", "SensorNumber", "Severity", "Message"});
        declare(container, "VARNSG_SELInfo", {"Source", "FreeBytes", "Overflow"});
        for (const Values& row : c.rows) AddTestInstance(container, c.className, row);
        EXPECT_EQ(c.expected, found(container)) << c.what;
    }
}

}  // namespace
