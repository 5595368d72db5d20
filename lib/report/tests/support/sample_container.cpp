#include "sample_container.h"

#include <string>

#include "wyxcore/value.h"

TCIMClass* DeclareTestClass(TContainer& container, const std::string& name,
                            const std::vector<std::pair<std::string, TCIMType> >& properties) {
    TCIMClass* cimClass = container.AddClass(name);
    for (const auto& property : properties) cimClass->DeclareProperty(property.first, property.second);
    return cimClass;
}

TCIMInstance* AddTestInstance(TContainer& container, const std::string& className,
                              const std::vector<std::pair<std::string, std::string> >& values) {
    TCIMClass* cimClass = container.FindClass(className);
    TCIMInstance* instance = new TCIMInstance(cimClass);
    for (const auto& value : values) {
        const TCIMPropertyDecl* decl = cimClass->FindProperty(value.first);
        const TCIMType type = decl ? decl->type : kCIMString;
        if (type == kCIMUInt16)
            instance->SetPropertyValue(value.first, TCIMValue(static_cast<uint16_t>(std::stoul(value.second))));
        else
            instance->SetPropertyValue(value.first, TCIMValue::FromText(type, value.second));
    }
    instance->Commit();
    return instance;
}

void DeclareReportClasses(TContainer& container) {
    DeclareTestClass(container, "VARNSG_ComputerSystem",
                     {{"CreationClassName", kCIMString}, {"Name", kCIMString}, {"Manufacturer", kCIMString},
                      {"Model", kCIMString}, {"SerialNumber", kCIMString}, {"CMCMTM", kCIMString}});
    DeclareTestClass(container, "VARNSG_OperatingSystem",
                     {{"CreationClassName", kCIMString}, {"Name", kCIMString}, {"Version", kCIMString},
                      {"LastBootUpTime", kCIMDateTime}});
    DeclareTestClass(container, "VARNSG_ULKLog",
                     {{"CreationClassName", kCIMString}, {"LogCreationClassName", kCIMString},
                      {"LogName", kCIMString}, {"RecordID", kCIMString}, {"Severity", kCIMString},
                      {"Date", kCIMString}, {"Day", kCIMString}, {"Time", kCIMString},
                      {"MessageTimestamp", kCIMDateTime}, {"EventID", kCIMString},
                      {"LoggingSource", kCIMString}, {"Message", kCIMString}});
    DeclareTestClass(container, "VARNSG_TRAVLog",
                     {{"CreationClassName", kCIMString}, {"LogCreationClassName", kCIMString},
                      {"LogName", kCIMString}, {"MessageTimestamp", kCIMDateTime}, {"Message", kCIMString},
                      {"RecordID", kCIMString}});
    DeclareTestClass(container, "VARNSG_HeavyHittersLogRecord",
                     {{"CreationClassName", kCIMString}, {"LogName", kCIMString},
                      {"LogCreationClassName", kCIMString}, {"Message", kCIMString},
                      {"MessageTimestamp", kCIMDateTime}, {"RecordID", kCIMString}});
    DeclareTestClass(container, "VARNSG_OSKLogRecord",
                     {{"Source", kCIMString}, {"Type", kCIMUInt16}, {"CreationClassName", kCIMString},
                      {"LogName", kCIMString}, {"LogCreationClassName", kCIMString}, {"Message", kCIMString},
                      {"MessageTimestamp", kCIMDateTime}, {"RecordID", kCIMString}});
    DeclareTestClass(container, "VARNSG_OSEventLogRecord",
                     {{"RecordID", kCIMString}, {"MessageTimestamp", kCIMDateTime}, {"Source", kCIMString},
                      {"Severity", kCIMString}, {"EventID", kCIMString}, {"Message", kCIMString}});
}

void DeclarePartSourceClasses(TContainer& container) {
    const std::vector<std::pair<const char*, std::vector<const char*> > > classes = {
        {"VARNSG_Processor", {"DeviceID", "Name", "Manufacturer"}},
        {"VARNSG_PhysicalMemory", {"Tag", "BankLabel", "Capacity", "SerialNumber"}},
        {"VARNSG_DiskDrive", {"DeviceID", "Model", "SerialNumber", "Status"}},
        {"VARNSG_PCIDevice", {"DeviceID", "Name"}},
        {"VARNSG_NumericSensor", {"Name", "Device", "SensorType", "Units", "CurrentReading",
                                  "LowerThresholdCritical", "UpperThresholdNonCritical", "UpperThresholdCritical"}},
        {"VARNSG_MemoryErrorCounter", {"Source", "Controller", "Label", "Location", "SizeMB", "MemoryType",
                                       "CorrectedCount", "UncorrectedCount"}},
        {"VARNSG_MemoryControllerErrors", {"Source", "Controller", "Name", "CorrectedCount", "UncorrectedCount"}},
        {"VARNSG_PCIErrorCounter", {"Source", "Address", "Name", "CorrectableCount", "NonFatalCount", "FatalCount"}},
        {"VARNSG_DiskHealth", {"Source", "DeviceID", "Model", "SerialNumber", "Firmware", "Protocol", "Assessment"}},
        {"VARNSG_HardwareErrorRecord", {"Source", "RecordID", "MessageTimestamp", "Severity", "Kind", "Component",
                                        "Message"}},
        {"VARNSG_SELRecord", {"Source", "RecordID", "MessageTimestamp", "SensorType", "SensorNumber", "Direction",
                              "Message", "Severity"}},
        {"VARNSG_SELInfo", {"Source", "Entries", "Overflow"}},
    };
    for (const auto& c : classes) {
        if (container.FindClass(c.first)) continue;   // the framework's schema declares it
        std::vector<std::pair<std::string, TCIMType> > properties = {{"CreationClassName", kCIMString}};
        for (const char* name : c.second)
            properties.push_back({name, std::string(name) == "MessageTimestamp" ? kCIMDateTime : kCIMString});
        DeclareTestClass(container, c.first, properties);
    }
}

namespace {

void addUlk(TContainer& c, const std::string& id, const std::string& severity, const std::string& date,
            const std::string& time, const std::string& stamp, const std::string& message) {
    AddTestInstance(c, "VARNSG_ULKLog",
                    {{"CreationClassName", "VARNSG_ULKLog"}, {"LogCreationClassName", " "},
                     {"LogName", "ULKEvent"}, {"RecordID", id}, {"Severity", severity}, {"Date", date},
                     {"Day", "Monday"}, {"Time", time}, {"MessageTimestamp", stamp}, {"EventID", "4660"},
                     {"LoggingSource", "SERVPROC"}, {"Message", message}});
}

void addTrav(TContainer& c, const std::string& id, const std::string& stamp, const std::string& message) {
    AddTestInstance(c, "VARNSG_TRAVLog",
                    {{"CreationClassName", "VARNSG_TRAVLog"}, {"LogCreationClassName", " "},
                     {"LogName", "TRAVEvent"}, {"MessageTimestamp", stamp}, {"Message", message},
                     {"RecordID", id}});
}

void addHeavy(TContainer& c, const std::string& id, const std::string& stamp, const std::string& message) {
    AddTestInstance(c, "VARNSG_HeavyHittersLogRecord",
                    {{"CreationClassName", "VARNSG_HeavyHittersLogRecord"},
                     {"LogName", "VARN OSK heavy hitters log"},
                     {"LogCreationClassName", "VARNSG_HeavyHittersMessageLog"}, {"Message", message},
                     {"MessageTimestamp", stamp}, {"RecordID", id}});
}

void addRun(TContainer& c, const std::string& id, const std::string& source, const std::string& type,
            const std::string& stamp, const std::string& message) {
    AddTestInstance(c, "VARNSG_OSKLogRecord",
                    {{"Source", source}, {"Type", type}, {"CreationClassName", "VARNSG_OSKLogRecord"},
                     {"LogName", "VARN OSK core log"}, {"LogCreationClassName", "VARNSG_OSKMessageLog"},
                     {"Message", message}, {"MessageTimestamp", stamp}, {"RecordID", id}});
}

}  // namespace

void AddRunLogRecord(TContainer& container, const std::string& id, const std::string& source,
                     const std::string& type, const std::string& stamp, const std::string& message) {
    addRun(container, id, source, type, stamp, message);
}

void AddFinding(TContainer& container, const std::string& severity, const std::string& category,
                const std::string& sourceClass, const std::string& recordId, const std::string& message,
                const std::string& stamp) {
    if (!container.FindClass("VARNSG_AnalysisFinding"))
        DeclareTestClass(container, "VARNSG_AnalysisFinding",
                         {{"CreationClassName", kCIMString}, {"FindingID", kCIMString}, {"Severity", kCIMString},
                          {"Category", kCIMString}, {"Description", kCIMString}, {"SourceClass", kCIMString},
                          {"SourceKey", kCIMString}, {"SourceMessage", kCIMString},
                          {"SourceTimestamp", kCIMDateTime}});
    std::vector<std::pair<std::string, std::string> > values = {
        {"CreationClassName", "VARNSG_AnalysisFinding"}, {"Severity", severity}, {"Category", category},
        {"Description", category + " rule"}, {"SourceClass", sourceClass}, {"SourceKey", "RecordID=" + recordId},
        {"SourceMessage", message}};
    if (!stamp.empty()) values.push_back({"SourceTimestamp", stamp});
    AddTestInstance(container, "VARNSG_AnalysisFinding", values);
}

void FillSampleContainer(TContainer& c) {
    DeclareReportClasses(c);
    AddTestInstance(c, "VARNSG_ComputerSystem",
                    {{"CreationClassName", "VARNSG_ComputerSystem"}, {"Name", "srv01"},
                     {"Manufacturer", "Maker & Sons"}, {"Model", "8865-1RY"}, {"SerialNumber", "KQ12345"},
                     {"CMCMTM", "{CMCMTM}8865-1RY"}});
    AddTestInstance(c, "VARNSG_OperatingSystem",
                    {{"CreationClassName", "VARNSG_OperatingSystem"}, {"Name", "Server OS"}, {"Version", "5.2"},
                     {"LastBootUpTime", "20261207210000.000000+060"}});
    addUlk(c, "1", "2", "12/7/26", "22:15:3", "20261207221503.000000+060", "<script>alert(1)</script>");
    addUlk(c, "2", "0", "12/7/26", "21:5:0", "20261207210500.000000+060", "System power on");
    addUlk(c, "3", "1", "12/7/26", "23:40:59", "20261207234059.000000+060",
           "Remote login from \"admin\" on port 3: session opened\tand kept for the whole maintenance window "
           "of the night");
    addTrav(c, "1", "20261206101500.000000+060", "Fan 3 missing. Fan 1 failed.");
    addTrav(c, "2", "20261205080000.000000+060", "All power supplies present and functioning.");
    addTrav(c, "3", "20261206113000.000000+060", "Over temperature: CPU 1. Warning threshold reached");
    addHeavy(c, "7", "20261208053000.000000+060",
             "The difference between the System clock and SP clock is greater than 24 hours.");
    addHeavy(c, "0", "20261208052900.000000+060",
             "TRAV logs are not being collected due to the presence of Pellomon.");
    addRun(c, "0", "Core", "2", "20261208052800.000000+060", "Command line: norbix /v");
    addRun(c, "1", "quarnel", "0", "20261208052805.000000+060", "Error adding data for VARNSG_Quarnel");
    addRun(c, "2", "quarnel", "3", "20261208052806.000000+060", "Returning from QuarnelGetData");
}
