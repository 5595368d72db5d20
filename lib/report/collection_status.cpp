#include "collection_status.h"

#include <algorithm>
#include <cctype>

#include <boost/algorithm/string/case_conv.hpp>

#include "collector_record.h"
#include "value_display.h"
#include "wyxcore/calendar.h"
#include "wyxcore/collector_run.h"
#include "wyxcore/container.h"
#include "wyxcore/logger.h"

namespace {

const char kCore[] = "Core";
const char kNotLoadedPrefix[] = "Couldn't load plug-in ";
const char kSpPlugin[] = "quarnel";
const char kSpNotFound[] = "Not found";
const char kSpNotRead[] = "Not read";
const char kPellomon[] = "TRAV logs are not being collected due to the presence of Pellomon.";
const char kNoSp[] = " No SP's installed on the system ";
// Messages of the service-processor collector that only come when it found one.
const char* const kSpFound[] = {"Getting Dotcommand log", "Getting TRAV log", "Normalizing ULK Event logs by ",
                                "could not read SP clock", "No more log entries to be read",
                                "quarnel::getTolmlog() returning", "quarnel::getDotcommandlog() returning"};

bool startsWith(const std::string& text, const std::string& head) { return text.compare(0, head.size(), head) == 0; }

std::vector<RunLogEntry> readRunLog(const TContainer& container) {
    std::vector<RunLogEntry> log;
    const TCIMClass* cimClass = container.FindClass("VARNSG_OSKLogRecord");
    if (!cimClass) return log;
    size_t position = 0;
    for (const TCIMInstance* record : cimClass->EnumerateInstances(true)) {
        RunLogEntry entry;
        entry.position = position++;
        entry.recordId = PropertyText(*record, "RecordID");
        const std::string type = PropertyText(*record, "Type");
        if (!type.empty() && type.size() < 6 && std::all_of(type.begin(), type.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }))
            entry.type = std::stoi(type);
        entry.typeName = entry.type < 0 ? type : LogTypeName(entry.type);
        entry.source = PropertyText(*record, "Source");
        entry.message = PropertyText(*record, "Message");
        const TCIMValue* stamp = record->GetPropertyValue("MessageTimestamp");
        if (const TCIMDateTime* at = calendar::PointOf(stamp)) {
            entry.hasTime = true;
            entry.at = *at;
        }
        log.push_back(entry);
    }
    return log;
}

size_t instancesOf(const TContainer& container, const char* className) {
    const TCIMClass* cimClass = container.FindClass(className);
    return cimClass ? cimClass->GetInstanceCount() : 0;
}

bool hasHeavyHitter(const TContainer& container, const std::string& message) {
    const TCIMClass* cimClass = container.FindClass("VARNSG_HeavyHittersLogRecord");
    if (!cimClass) return false;
    for (const TCIMInstance* record : cimClass->EnumerateInstances(true))
        if (PropertyText(*record, "Message") == message) return true;
    return false;
}

class CollectorList {
public:
    CollectorStatus& Named(const std::string& plugin, const std::string& selection) {
        for (CollectorStatus& c : list_)
            if (c.plugin == plugin) return c;
        list_.push_back(CollectorStatus());
        list_.back().plugin = plugin;
        list_.back().selection = selection;
        return list_.back();
    }
    CollectorStatus* Find(const std::string& plugin) {
        for (CollectorStatus& c : list_)
            if (c.plugin == plugin || c.selection == plugin) return &c;
        return nullptr;
    }
    std::vector<CollectorStatus>& List() { return list_; }

private:
    std::vector<CollectorStatus> list_;
};

// A collection of an earlier version: what became of the service processor
// is read from the collector's messages.
std::string legacyServiceProcessorLine(const TContainer& container, const CollectionStatus& status,
                                       const CollectorStatus* sp, const std::string& firstError) {
    std::string found;
    bool noSp = false;
    for (const RunLogEntry& entry : status.runLog) {
        if (entry.source != kSpPlugin) continue;
        if (entry.message == kNoSp) noSp = true;
        for (const char* text : kSpFound)
            if (startsWith(entry.message, text)) found = entry.message;
    }
    if (hasHeavyHitter(container, kPellomon)) return std::string("Service processor not read: ") + kPellomon;
    if (!firstError.empty()) return "Service processor not read: " + firstError;
    if (!found.empty()) return "Service processor found; its log holds no entries";
    if (noSp || sp) return "No service processor found";
    if (status.collectorsRecorded) return "Service processor not read: its collector is not installed";
    return "Service processor: not known (the run log does not say)";
}

// The service processor's status as the collector recorded it; false for a
// collection of an earlier version, which did not.
bool recordedStatus(const TContainer& container, std::string* status, std::string* reason) {
    const TCIMClass* cimClass = container.FindClass("VARNSG_ServiceProcessorStatus");
    if (!cimClass || cimClass->GetInstanceCount() == 0) return false;
    const TCIMInstance& record = *cimClass->EnumerateInstances(true).back();
    *status = PropertyText(record, "Status");
    *reason = PropertyText(record, "Reason");
    return true;
}

std::string serviceProcessorLine(const TContainer& container, const CollectionStatus& status,
                                 const CollectorStatus* sp, bool* read) {
    const size_t ulk = instancesOf(container, "VARNSG_ULKLog"), trav = instancesOf(container, "VARNSG_TRAVLog");
    std::string firstError;
    for (const RunLogEntry& entry : status.runLog)
        if (entry.source == kSpPlugin && entry.type == kWyxLogError && firstError.empty()) firstError = entry.message;
    *read = ulk + trav > 0;
    if (*read) {
        std::string line = "Service processor read: " + std::to_string(ulk) + " ULK and " + std::to_string(trav) +
                           " TRAV log entries";
        return firstError.empty() ? line : line + "; not all of it: " + firstError;
    }
    if (sp && sp->state == CollectorState::kSkipped) return "Service processor not read: its collector was disabled";
    if (sp && sp->state == CollectorState::kNotLoaded) return "Service processor not read: its collector was not loaded";
    std::string recorded, reason;
    if (recordedStatus(container, &recorded, &reason)) {
        if (recorded == kSpNotFound) return "No service processor found";
        if (recorded == kSpNotRead) return "Service processor not read: " + (reason.empty() ? firstError : reason);
        if (!firstError.empty()) return "Service processor not read: " + firstError;
        return "Service processor found; its log holds no entries";
    }
    return legacyServiceProcessorLine(container, status, sp, firstError);
}
}  // namespace

const char* CollectorStateName(CollectorState state) {
    switch (state) {
    case CollectorState::kRan: return "ran";
    case CollectorState::kFailed: return "failed";
    case CollectorState::kSkipped: return "skipped";
    case CollectorState::kNotLoaded: return "not loaded";
    case CollectorState::kAbandoned: return "abandoned";
    }
    return "";
}

bool CollectorStateIsFailure(CollectorState state) {
    return state == CollectorState::kFailed || state == CollectorState::kNotLoaded ||
           state == CollectorState::kAbandoned;
}

namespace {

// A collection of this version: what each collector did is data.
void collectorsFromSteps(const std::vector<collector_run::Step>& steps, CollectorList& collectors) {
    for (const collector_run::Step& step : steps) {
        CollectorStatus& c = collectors.Named(step.collector, step.selection);
        switch (step.outcome) {
        case collector_run::Outcome::kRan:
            c.instancesAdded += step.instancesAdded;
            break;
        case collector_run::Outcome::kSkipped: c.state = CollectorState::kSkipped; break;
        case collector_run::Outcome::kNotLoaded: c.state = CollectorState::kNotLoaded; break;
        case collector_run::Outcome::kAbandoned: c.state = CollectorState::kAbandoned; break;
        }
    }
}

// A collection of an earlier version said it in Status records of the run log.
bool collectorsFromMessages(const std::vector<RunLogEntry>& runLog, CollectorList& collectors) {
    bool recorded = false;
    for (const RunLogEntry& entry : runLog) {
        CollectorRecord record;
        if (entry.source == kCore && ParseCollectorRecord(entry.message, &record)) {
            recorded = true;
            CollectorStatus& c = collectors.Named(record.plugin, record.selection);
            if (record.outcome == CollectorOutcome::kRan) {
                c.instancesAdded += record.instancesAdded;
            } else if (record.outcome == CollectorOutcome::kDisabled) {
                c.state = CollectorState::kSkipped;
            } else {
                c.state = CollectorState::kNotLoaded;
            }
        } else if (entry.source == kCore && entry.type == kWyxLogError && startsWith(entry.message, kNotLoadedPrefix)) {
            // The file never became a plug-in: its name is all there is.
            std::string file = entry.message.substr(sizeof kNotLoadedPrefix - 1);
            file = file.substr(0, file.find(": "));
            const size_t slash = file.find_last_of("/\\");
            if (slash != std::string::npos) file.erase(0, slash + 1);
            collectors.Named(file, file.substr(0, file.find(".pi."))).state = CollectorState::kNotLoaded;
        }
    }
    return recorded;
}

}  // namespace

CollectionStatus BuildCollectionStatus(const TContainer& container) {
    CollectionStatus status;
    status.runLog = readRunLog(container);
    status.runLogSaved = !status.runLog.empty();
    CollectorList collectors;
    std::vector<collector_run::Step> steps;
    if (collector_run::Read(container, &steps)) {
        status.collectorsRecorded = true;
        collectorsFromSteps(steps, collectors);
    } else {
        status.collectorsRecorded = collectorsFromMessages(status.runLog, collectors);
    }
    for (size_t i = 0; i < status.runLog.size(); ++i) {
        const RunLogEntry& entry = status.runLog[i];
        if (entry.type != kWyxLogError) continue;
        status.errors.push_back(i);
        if (entry.source == kCore || entry.source.empty()) continue;
        CollectorStatus* c = collectors.Find(entry.source);
        if (!c && !status.collectorsRecorded)
            c = &collectors.Named(entry.source, boost::algorithm::to_lower_copy(entry.source));
        if (!c) continue;
        c->errors.push_back(i);
        if (c->state == CollectorState::kRan) c->state = CollectorState::kFailed;
    }
    if (!status.collectorsRecorded) {
        // An older collection: what each collector added is known from the classes it provides.
        for (CollectorStatus& c : collectors.List())
            for (const TCIMClass* cimClass : container.GetClasses())
                if (boost::algorithm::to_lower_copy(cimClass->GetProvider()) == c.selection)
                    c.instancesAdded += cimClass->GetInstanceCount();
    }
    status.collectors = collectors.List();
    status.complete = status.errors.empty();
    for (const CollectorStatus& c : status.collectors)
        if (CollectorStateIsFailure(c.state)) status.complete = false;
    const CollectorStatus* sp = collectors.Find(kSpPlugin);
    status.serviceProcessor = serviceProcessorLine(container, status, sp, &status.serviceProcessorRead);
    return status;
}
