#include "timeline.h"

#include <algorithm>
#include <cstdio>

#include "finding_groups.h"
#include "source_severity.h"
#include "value_display.h"
#include "wyxcore/calendar.h"
#include "wyxcore/container.h"
#include "wyxcore/logger.h"

namespace {

// The classes whose records the timeline holds, one row each. A collector that
// adds a time-stamped class adds a row here.
struct TimelineSource {
    const char* className;
    const char* label;            // the source's name in the timeline
    const char* timeProperty;     // a datetime
    const char* sourceProperty;   // refines the label (the processor, the plug-in); may be null
    const char* messageProperty;  // null: the record says fixedMessage
    const char* fixedMessage;
    const char* severity;         // fixed; null: the record's own (SourceSeverity), raised by the analysis's
                                  // findings about it, else "Info"
    const char* typeProperty;     // a core-log type that names the severity; may be null
    const char* ownDate;          // the recording clock's own reading; may be null
    const char* ownTime;
};

const TimelineSource kSources[] = {
    {"VARNSG_ULKLog", "ULK", "MessageTimestamp", "LoggingSource", "Message", nullptr, nullptr, nullptr, "Date", "Time"},
    {"VARNSG_TRAVLog", "TRAV", "MessageTimestamp", nullptr, "Message", nullptr, nullptr, nullptr, nullptr, nullptr},
    {"VARNSG_HeavyHittersLogRecord", "Heavy hitter", "MessageTimestamp", nullptr, "Message", nullptr, "Warning",
     nullptr, nullptr, nullptr},
    {"VARNSG_OSKLogRecord", "Run log", "MessageTimestamp", "Source", "Message", nullptr, nullptr, "Type", nullptr,
     nullptr},
    {"VARNSG_OSEventLogRecord", "OS log", "MessageTimestamp", "Source", "Message", nullptr, nullptr, "Severity",
     nullptr, nullptr},
    {"VARNSG_OperatingSystem", "Operating system", "LastBootUpTime", nullptr, nullptr, "Last boot", "Info", nullptr,
     nullptr, nullptr},
    {"VARNSG_HardwareErrorRecord", "Hardware error", "MessageTimestamp", "Component", "Message", nullptr, nullptr,
     "Severity", nullptr, nullptr},
    {"VARNSG_SELRecord", "SEL", "MessageTimestamp", "SensorType", "Message", nullptr, nullptr, "Severity", nullptr,
     nullptr},
};

const char kInfo[] = "Info";

const TimelineSource* sourceOf(const std::string& className) {
    for (const TimelineSource& source : kSources)
        if (className == source.className) return &source;
    return nullptr;
}

std::string trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// "12/7/26" and "22:5:3" as "2026-12-07 22:05:03"; as they are when they do not read so.
std::string ownClock(const std::string& date, const std::string& time) {
    unsigned month, day, year, hour, minute, second;
    char end;
    if (std::sscanf(date.c_str(), "%u/%u/%u%c", &month, &day, &year, &end) == 3 &&
        std::sscanf(time.c_str(), "%u:%u:%u%c", &hour, &minute, &second, &end) == 3 && month <= 99 && day <= 99 &&
        year <= 99 && hour <= 99 && minute <= 99 && second <= 99) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "20%02u-%02u-%02u %02u:%02u:%02u", year, month, day, hour, minute, second);
        return buf;
    }
    return trimmed(date + " " + time);
}

const TCIMDateTime* pointOf(const TCIMInstance& instance, const char* property) {
    return calendar::PointOf(instance.GetPropertyValue(property));
}

}  // namespace

FindingSeverities SeveritiesOfFindings(const TContainer& container) {
    FindingSeverities severities;
    const TCIMClass* findings = container.FindClass("VARNSG_AnalysisFinding");
    if (!findings) return severities;
    for (const TCIMInstance* finding : findings->EnumerateInstances(true)) {
        const std::string severity = PropertyText(*finding, "Severity");
        std::string& known =
            severities[{PropertyText(*finding, "SourceClass"), PropertyText(*finding, "SourceKey")}];
        if (SeverityRank(severity) > SeverityRank(known)) known = severity;
    }
    return severities;
}

bool DescribeRecord(const TCIMInstance& instance, const FindingSeverities& severities, TimelineEntry* entry) {
    const std::string& className = instance.GetClass()->GetName();
    const TimelineSource* source = sourceOf(className);
    if (!source) return false;
    entry->className = className;
    entry->source = source->label;
    if (source->sourceProperty) {
        std::string detail = trimmed(PropertyText(instance, source->sourceProperty));
        // "Node 1: SP A": the processor is what tells the records apart.
        const size_t colon = detail.find(':');
        if (detail.compare(0, 5, "Node ") == 0 && colon != std::string::npos) detail.erase(colon);
        if (!detail.empty()) entry->source += (source->typeProperty ? ": " : " ") + detail;
    }
    entry->message = source->messageProperty ? PropertyText(instance, source->messageProperty) : source->fixedMessage;
    if (source->severity) {
        entry->severity = source->severity;
    } else if (source->typeProperty) {
        const std::string type = PropertyText(instance, source->typeProperty);
        entry->severity = type.size() == 1 && type[0] >= '0' && type[0] <= '9' ? LogTypeName(type[0] - '0') : type;
    } else {
        // The source's own severity; the analysis may raise it, never lower it.
        const auto found = severities.find({className, "RecordID=" + PropertyText(instance, "RecordID")});
        entry->severity = SourceSeverity(instance);
        if (found != severities.end()) entry->severity = MoreSevere(entry->severity, found->second);
        if (entry->severity.empty()) entry->severity = kInfo;
    }
    if (source->ownDate) entry->ownTime = ownClock(PropertyText(instance, source->ownDate),
                                                    PropertyText(instance, source->ownTime));
    if (const TCIMDateTime* at = pointOf(instance, source->timeProperty)) entry->at = *at;
    return true;
}

std::vector<TimelineEntry> BuildTimeline(const TContainer& container, const FindingSeverities& severities) {
    std::vector<TimelineEntry> timeline;
    for (const TimelineSource& source : kSources) {
        const TCIMClass* cimClass = container.FindClass(source.className);
        if (!cimClass) continue;
        size_t position = 0;
        for (const TCIMInstance* instance : cimClass->EnumerateInstances(true)) {
            TimelineEntry entry;
            entry.position = position++;
            if (!pointOf(*instance, source.timeProperty) || !DescribeRecord(*instance, severities, &entry)) continue;
            timeline.push_back(std::move(entry));
        }
    }
    std::vector<size_t> order(timeline.size());
    std::vector<std::pair<long long, long> > keys;
    keys.reserve(timeline.size());
    for (size_t i = 0; i < timeline.size(); ++i) {
        order[i] = i;
        keys.emplace_back(calendar::UtcSeconds(timeline[i].at), timeline[i].at.GetMicroseconds());
    }
    std::stable_sort(order.begin(), order.end(), [&keys](size_t a, size_t b) { return keys[a] < keys[b]; });
    std::vector<TimelineEntry> sorted;
    sorted.reserve(timeline.size());
    for (size_t i : order) sorted.push_back(std::move(timeline[i]));
    return sorted;
}
