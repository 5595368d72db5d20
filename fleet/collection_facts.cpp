#include "collection_facts.h"

#include <algorithm>

#include "finding_groups.h"
#include "parts.h"
#include "report_identity.h"
#include "timeline.h"
#include "value_display.h"
#include "written_at.h"
#include "wyxcore/calendar.h"
#include "wyxcore/container.h"

const LogClass kLogClasses[] = {
    {"VARNSG_ULKLog", "ULK", "LoggingSource"},
    {"VARNSG_TRAVLog", "TRAV", nullptr},
    {"VARNSG_SELRecord", "SEL", "Source"},
    {"VARNSG_OSEventLogRecord", "OS log", "LogName"},
    {"VARNSG_HardwareErrorRecord", "Hardware errors", "Source"},
};
const size_t kLogClassCount = sizeof kLogClasses / sizeof kLogClasses[0];

namespace {

// Where each kind of part keeps what identifies it. A class without a serial
// property is matched by location alone.
struct PartClass {
    const char* className;
    const char* kind;
    const char* location;
    const char* serial;     // may be null
    const char* size;       // may be null
    const char* name;
    const char* firmware;   // may be null
};

const PartClass kPartClasses[] = {
    {"VARNSG_PhysicalMemory", "DIMM", "BankLabel", "SerialNumber", "Capacity", "PartNumber", nullptr},
    {"VARNSG_DiskDrive", "Disk", "DeviceID", "SerialNumber", "Size", "Model", "FirmwareRevision"},
    {"VARNSG_Processor", "Processor", "DeviceID", nullptr, nullptr, "Name", nullptr},
    {"VARNSG_NetworkAdapter", "Network adapter", "Name", "MACAddress", nullptr, "Description", nullptr},
    {"VARNSG_PCIDevice", "PCI device", "DeviceID", nullptr, nullptr, "Name", nullptr},
};

// To the second, as the reports show times.
std::string shown(const TCIMDateTime& at) {
    TCIMDateTime seconds;
    seconds.Set(at.GetYear(), at.GetMonth(), at.GetDay(), at.GetHour(), at.GetMinute(), at.GetSecond(), 0,
                calendar::OffsetMinutes(at));
    return seconds.ToUIString();
}

std::string trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return std::string();
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

std::string textOf(const TCIMInstance& instance, const char* property) {
    return property ? trimmed(PropertyText(instance, property)) : std::string();
}

// "Node 1: SP A" names the processor of a ULK record; a plain source is the
// component that logged, not a log of its own.
std::string logOf(const LogClass& logClass, const TCIMInstance& record) {
    std::string log = logClass.label;
    std::string detail = textOf(record, logClass.logProperty);
    if (logClass.logProperty && std::string(logClass.logProperty) == "LoggingSource") {
        const size_t colon = detail.find(':');
        detail = detail.compare(0, 5, "Node ") == 0 && colon != std::string::npos ? detail.substr(0, colon)
                                                                                   : std::string();
    }
    return detail.empty() ? log : log + " " + detail;
}

void readRecords(const TContainer& container, const FindingSeverities& severities, CollectionFacts* facts) {
    for (size_t i = 0; i < kLogClassCount; ++i) {
        const TCIMClass* cimClass = container.FindClass(kLogClasses[i].className);
        if (!cimClass) continue;
        for (const TCIMInstance* record : cimClass->EnumerateInstances(true)) {
            LogRecordFact fact;
            fact.className = kLogClasses[i].className;
            fact.log = logOf(kLogClasses[i], *record);
            fact.recordId = textOf(*record, "RecordID");
            TimelineEntry entry;
            if (DescribeRecord(*record, severities, &entry)) {
                fact.severity = entry.severity;
                fact.message = entry.message;
            } else {
                fact.severity = textOf(*record, "Severity");
                fact.message = PropertyText(*record, "Message");
            }
            if (const TCIMDateTime* at = calendar::PointOf(record->GetPropertyValue("MessageTimestamp"))) {
                fact.hasTime = true;
                fact.utcSeconds = calendar::UtcSeconds(*at);
                fact.shownTime = shown(*at);
            }
            facts->records.push_back(std::move(fact));
        }
    }
}

void readParts(const TContainer& container, CollectionFacts* facts) {
    for (const PartClass& partClass : kPartClasses) {
        const TCIMClass* cimClass = container.FindClass(partClass.className);
        if (!cimClass) continue;
        for (const TCIMInstance* instance : cimClass->EnumerateInstances(true)) {
            PartFact part;
            part.kind = partClass.kind;
            part.location = textOf(*instance, partClass.location);
            part.serial = textOf(*instance, partClass.serial);
            part.size = textOf(*instance, partClass.size);
            part.name = textOf(*instance, partClass.name);
            part.firmware = textOf(*instance, partClass.firmware);
            facts->parts.push_back(std::move(part));
        }
    }
}

// Evidence is trusted up to the collection's time; without one, up to now, as
// the reports judge it.
void readPartVerdicts(const TContainer& container, const FindingSeverities& severities, const ReportIdentity& identity,
                      CollectionFacts* facts) {
    const PartsReport report =
        BuildParts(container, severities, identity.hasCollectionTime ? identity.collectedAt : ReportTime());
    for (const Part& part : report.parts) {
        PartVerdictFact fact;
        fact.kind = PartKindName(part.kind);
        fact.key = part.key;
        fact.scheme = part.scheme;
        fact.name = PartTitle(part);
        fact.verdict = VerdictName(part.verdict);
        if (part.hasLatest) {
            fact.hasLatest = true;
            fact.latestUtc = calendar::UtcSeconds(part.latest);
            fact.latestShown = shown(part.latest);
        }
        fact.evidence = part.evidence.size();
        facts->partVerdicts.push_back(std::move(fact));
    }
    facts->verdict = PartsHeadline(report);
    facts->partsFailing = report.failing;
    facts->partsWarnings = report.warnings;
}

void readVersions(const TContainer& container, CollectionFacts* facts) {
    const TCIMClass* cimClass = container.FindClass("VARNSG_SoftwareIdentity");
    if (!cimClass) return;
    for (const TCIMInstance* instance : cimClass->EnumerateInstances(true))
        facts->versions.push_back({textOf(*instance, "Kind"), textOf(*instance, "Name"), textOf(*instance, "Version")});
}

}  // namespace

CollectionFacts ReadCollectionFacts(const TContainer& container) {
    CollectionFacts facts;
    // When a report would be rendered does not matter to the facts; any valid point does.
    TCIMDateTime renderedAt;
    renderedAt.Set(2000, 1, 1, 0, 0, 0, 0, 0);
    const ReportIdentity identity = BuildIdentity(container, renderedAt);
    facts.host = trimmed(identity.host);
    facts.typeModel = trimmed(identity.typeModel);
    for (const IdentityFact& fact : identity.facts) {
        if (fact.label == "Serial number") facts.serial = trimmed(fact.value);
        if (fact.label == "Manufacturer") facts.manufacturer = trimmed(fact.value);
        if (fact.label == "Model") facts.model = trimmed(fact.value);
    }
    if (identity.hasCollectionTime) {
        facts.hasCollectionTime = true;
        facts.collectedUtc = calendar::UtcSeconds(identity.collectedAt);
        facts.collectedShown = shown(identity.collectedAt);
    }
    const FindingSeverities severities = SeveritiesOfFindings(container);
    readRecords(container, severities, &facts);
    for (const FindingGroup& group : GroupFindings(container))
        facts.findings.push_back(
            {group.severity, group.category, group.description, group.sourceClass, group.message, group.count});
    readParts(container, &facts);
    readPartVerdicts(container, severities, identity, &facts);
    readVersions(container, &facts);
    return facts;
}
