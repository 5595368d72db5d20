#include "sel_instances.h"

#include "instance_builder.h"
#include "wyxcore/container.h"
#include "wyxcore/logger.h"

namespace sel {

const char kRecordClass[] = "VARNSG_SELRecord";
const char kInfoClass[] = "VARNSG_SELInfo";
const char kSource[] = "ipmi";

namespace {

const char kPrefix[] = "sel: ";

TCIMValue boolean(bool value) { return TCIMValue::FromText(kCIMBoolean, value ? "true" : "false"); }

void addIdentity(TContainer& container, const ControllerIdentity& id) {
    if (!id.known) return;
    InstanceBuilder(container, "VARNSG_SoftwareIdentity")
        .Text("Name", "Management controller")
        .Text("Version", id.firmwareVersion)
        .Text("Kind", "Management controller firmware")
        .Text("Manufacturer", "IANA enterprise " + std::to_string(id.manufacturerId))
        .Text("Caption", "Product ID " + Hex(id.productId, 4) + ", device ID " + Hex(id.deviceId) + ", IPMI " +
                             id.ipmiVersion)
        .Commit();
}

void addInfo(TContainer& container, const SelReadResult& read, const SelClock& clock) {
    const SelInfoFacts& info = read.info;
    if (!info.known) return;
    InstanceBuilder builder(container, kInfoClass);
    builder.Text("Source", kSource)
        .Text("Version", info.version)
        .Number("Entries", info.entries)
        .Number("FreeBytes", info.freeBytes)
        .Value("Overflow", boolean(info.overflow))
        .Value("ReserveSupported", boolean(info.reserveSupported))
        .Number("RecordsRead", read.records.size());
    TCIMDateTime point;
    if (clock.Corrected(info.lastAddStamp, &point)) builder.Value("LastAddTime", point);
    if (clock.Corrected(info.lastEraseStamp, &point)) builder.Value("LastEraseTime", point);
    if (clock.known()) {
        builder.Value("SystemClock", clock.systemTime()).Value("ControllerClock", clock.controllerTime());
        builder.Value("ClockDifference", TCIMValue::FromText(kCIMSInt64, std::to_string(clock.difference())));
    }
    builder.Commit();
}

const char* stampState(SelRecord::Stamp kind) {
    switch (kind) {
    case SelRecord::Stamp::Unspecified: return "unspecified";
    case SelRecord::Stamp::PreInit: return "pre-init";
    case SelRecord::Stamp::Clock: return "controller clock";
    case SelRecord::Stamp::None: break;
    }
    return "";
}

void addRecord(TContainer& container, const SelRecord& record, const SelClock& clock) {
    InstanceBuilder builder(container, kRecordClass);
    builder.Text("Source", kSource).Number("RecordID", record.recordId).Number("RecordType", record.recordType);
    builder.Text("TimestampState", stampState(record.stampKind));
    TCIMDateTime point;
    if (SelClock::ControllerPoint(record, &point)) builder.Value("ControllerTimestamp", point);
    if (clock.Corrected(record, &point)) builder.Value("MessageTimestamp", point);
    if (record.stampKind == SelRecord::Stamp::PreInit) builder.Number("SecondsSinceInit", record.stamp);
    if (record.systemEvent) {
        builder.Number("GeneratorID", record.generatorId)
            .Number("SensorTypeCode", record.sensorTypeCode)
            .Text("SensorType", record.sensorType)
            .Number("SensorNumber", record.sensorNumber)
            .Number("EventType", record.eventType)
            .Number("EventOffset", record.offset)
            .Text("Direction", DirectionName(record));
    }
    builder.Text("EventData", record.eventDataHex)
        .Text("Message", record.message)
        .Text("Severity", ipmi::SeverityName(record.severity))
        .Commit();
}

}  // namespace

LogLines AddSelInstances(TContainer& container, const SelReadResult& read, const SelClock& clock) {
    LogLines lines = clock.Report();
    if (read.info.known && !clock.known())
        lines.emplace_back(kWyxLogWarning,
                           std::string(kPrefix) + "could not read SEL clock - SEL record time stamps are not normalized" +
                               (read.clockProblem.empty() ? std::string() : " (" + read.clockProblem + ")"));
    addIdentity(container, read.controller);
    addInfo(container, read, clock);
    for (const SelRecord& record : read.records) addRecord(container, record, clock);
    for (const std::string& problem : read.problems) lines.emplace_back(kWyxLogWarning, kPrefix + problem);
    return lines;
}

}  // namespace sel
