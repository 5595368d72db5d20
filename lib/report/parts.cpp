#include "parts.h"

#include <algorithm>
#include <cctype>
#include <initializer_list>
#include <map>
#include <tuple>

#include <boost/algorithm/string/case_conv.hpp>

#include "plural.h"
#include "severity.h"
#include "source_severity.h"
#include "value_display.h"
#include "wyxcore/calendar.h"
#include "wyxcore/container.h"

namespace {

const char kError[] = "Error";
const char kWarning[] = "Warning";
const char kInfo[] = "Info";

// How a source's rows name their part.
enum class Naming {
    kText,    // the parts its text names (PartsNamedIn); a log record may name several
    kLabel,   // its label property names one part of the row's kind
};

// How a source's rows speak of health.
enum class Health {
    kSource,    // the record's own severity (SourceSeverity), raised by findings about it
    kFinding,   // a finding about the row, else Info: read and within its limits
    kCounters,  // error counters: any of the row's counters above zero
    kState,     // a finding about the row, else Info where it states a state
    kNone,      // present, nothing said of its health (the inventory)
    kSelFull,   // the controller's event log: full, it loses what comes
};

struct Counter {
    const char* property;
    const char* severity;
    const char* one;    // "uncorrected error"
    const char* many;   // "uncorrected errors"
};

// Every class that speaks of parts. A collector whose class names parts adds a
// row here; the report reads whatever of them the collection holds. A part is
// named by the first row that names it: the inventory's and counters' labels
// before the words of a log.
struct PartSource {
    const char* className;
    Naming naming;
    const char* nameProperty;
    const char* fallbackProperty;   // names the part when nameProperty is empty; may be null
    PartKind kind;                  // of a label
    const char* kindProperty;       // names the kind instead (kKindNames); may be null
    const char* scheme;             // whose numbering ("os"), see PartName
    Health health;
    const char* findingKey;         // "RecordID" or "DeviceID": the key findings name the row by; null: sensors'
    bool problemsOnly;              // only its errors and warnings speak (a log of thousands of routine lines)
    std::initializer_list<Counter> counters;
    const char* label = nullptr;    // names the part where no property does
};

const PartSource kSources[] = {
    {"VARNSG_PhysicalMemory", Naming::kLabel, "Tag", "BankLabel", PartKind::kDimm, nullptr, "", Health::kNone,
     nullptr, false, {}},
    {"VARNSG_Processor", Naming::kLabel, "DeviceID", "Name", PartKind::kProcessor, nullptr, "os", Health::kNone,
     nullptr, false, {}},
    {"VARNSG_PCIDevice", Naming::kLabel, "DeviceID", nullptr, PartKind::kPcieDevice, nullptr, "", Health::kNone,
     nullptr, false, {}},
    {"VARNSG_DiskDrive", Naming::kLabel, "DeviceID", "SerialNumber", PartKind::kDisk, nullptr, "", Health::kState,
     "DeviceID", false, {}},
    {"VARNSG_DiskHealth", Naming::kLabel, "DeviceID", "SerialNumber", PartKind::kDisk, nullptr, "", Health::kSource,
     "DeviceID", false,
     {{"ReallocatedSectors", kWarning, "reallocated sector", "reallocated sectors"},
      {"PendingSectors", kWarning, "pending sector", "pending sectors"},
      {"OfflineUncorrectable", kWarning, "offline-uncorrectable sector", "offline-uncorrectable sectors"},
      {"MediaErrors", kWarning, "media error", "media errors"},
      {"GrownDefects", kWarning, "grown defect", "grown defects"}}},
    {"VARNSG_MemoryErrorCounter", Naming::kLabel, "Label", "Location", PartKind::kDimm, nullptr, "",
     Health::kCounters, nullptr, false,
     {{"UncorrectedCount", kError, "uncorrected error", "uncorrected errors"},
      {"CorrectedCount", kWarning, "corrected error", "corrected errors"}}},
    {"VARNSG_MemoryControllerErrors", Naming::kLabel, "Controller", "Name", PartKind::kController, nullptr, "",
     Health::kCounters, nullptr, false,
     // Its totals repeat each DIMM's counts: only the errors of no known DIMM are the controller's own.
     {{"UncorrectedNoInfoCount", kError, "uncorrected error of no known DIMM", "uncorrected errors of no known DIMM"},
      {"CorrectedNoInfoCount", kWarning, "corrected error of no known DIMM", "corrected errors of no known DIMM"}}},
    {"VARNSG_PCIErrorCounter", Naming::kLabel, "Address", nullptr, PartKind::kPcieDevice, nullptr, "",
     Health::kCounters, nullptr, false,
     {{"FatalCount", kError, "fatal error", "fatal errors"},
      {"NonFatalCount", kWarning, "non-fatal error", "non-fatal errors"},
      {"CorrectableCount", kWarning, "correctable error", "correctable errors"}}},
    {"VARNSG_NumericSensor", Naming::kText, "Name", nullptr, PartKind::kOther, nullptr, "os", Health::kFinding,
     nullptr, false, {}},
    {"VARNSG_SELInfo", Naming::kLabel, nullptr, nullptr, PartKind::kManagementController, nullptr, "",
     Health::kSelFull, nullptr, false, {}, "BMC"},
    {"VARNSG_HardwareErrorRecord", Naming::kLabel, "Component", nullptr, PartKind::kOther, "Kind", "os",
     Health::kSource, "RecordID", false, {}},
    {"VARNSG_SELRecord", Naming::kText, "Message", nullptr, PartKind::kOther, "SensorType", "", Health::kSource,
     "RecordID", false, {}},
    {"VARNSG_ULKLog", Naming::kText, "Message", nullptr, PartKind::kOther, nullptr, "", Health::kSource, "RecordID",
     false, {}},
    {"VARNSG_TRAVLog", Naming::kText, "Message", nullptr, PartKind::kOther, nullptr, "", Health::kSource, "RecordID",
     false, {}},
    {"VARNSG_OSEventLogRecord", Naming::kText, "Message", nullptr, PartKind::kOther, nullptr, "os", Health::kSource,
     "RecordID", true, {}},
};

// A record's kind or sensor type as a kind of part.
const struct {
    const char* text;   // lower case
    PartKind kind;
} kKindNames[] = {
    {"memory", PartKind::kDimm},           {"machine check", PartKind::kProcessor},
    {"processor", PartKind::kProcessor},   {"pcie", PartKind::kPcieDevice},
    {"disk", PartKind::kDisk},             {"drive slot (bay)", PartKind::kDisk},
    {"drive slot", PartKind::kDisk},       {"power supply", PartKind::kPowerSupply},
    {"fan", PartKind::kFan},               {"management subsystem health", PartKind::kManagementController},
};

// Words of a record that reports its part back in order.
const char* const kRecoveryWords[] = {"restored", "recovered", "back to normal", "returned to normal",
                                      "deasserted", "no longer"};
// Words of an error that the part still works, impaired.
const char* const kDegradedWords[] = {"predictive", "degraded", "redundancy", "predicted"};

// Evidence times outside these are not trusted for "latest": a clock not set.
const long long kEarliestTrusted = 631152000;   // 1990-01-01 UTC
const long long kGrace = 86400;

bool contains(const std::string& lower, const char* const* words, size_t count) {
    for (size_t i = 0; i < count; ++i)
        if (lower.find(words[i]) != std::string::npos) return true;
    return false;
}

PartKind kindNamed(const std::string& text, PartKind otherwise) {
    const std::string lower = boost::algorithm::to_lower_copy(text);
    for (const auto& k : kKindNames)
        if (lower == k.text) return k.kind;
    return otherwise;
}

bool countOf(const TCIMInstance& row, const char* property, unsigned long long* count) {
    const std::string text = PropertyText(row, property);
    if (text.empty() || text.size() > 19 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); }))
        return false;
    *count = std::stoull(text);
    return true;
}

class PartList {
public:
    Part& Of(const PartName& name) {
        const auto key = std::make_tuple(static_cast<int>(name.kind), name.scheme, name.key);
        auto found = index_.find(key);
        if (found == index_.end()) {
            found = index_.emplace(key, parts_.size()).first;
            Part part;
            part.kind = name.kind;
            part.key = name.key;
            part.scheme = name.scheme;
            part.name = name.label;
            parts_.push_back(part);
        }
        Part& part = parts_[found->second];
        if (name.label != part.name && part.aliases.size() < 8 &&
            std::find(part.aliases.begin(), part.aliases.end(), name.label) == part.aliases.end())
            part.aliases.push_back(name.label);
        return part;
    }
    std::vector<Part>& All() { return parts_; }

private:
    std::map<std::tuple<int, std::string, std::string>, size_t> index_;
    std::vector<Part> parts_;
};

std::string findingOf(const FindingSeverities& severities, const std::string& className, const std::string& key) {
    const auto found = severities.find({className, key});
    return found == severities.end() ? std::string() : found->second;
}

// The severity of a row and what it says, by its source's way.
void healthOf(const PartSource& source, const TCIMInstance& row, const FindingSeverities& severities,
              PartEvidence* evidence) {
    const std::string className = source.className;
    switch (source.health) {
    case Health::kSource: {
        const std::string key = std::string(source.findingKey) + "=" + PropertyText(row, source.findingKey);
        evidence->severity = MoreSevere(SourceSeverity(row), findingOf(severities, className, key));
        evidence->text = PropertyText(row, "Message");
        const std::string assessment = PropertyText(row, "Assessment");
        if (evidence->text.empty() && !assessment.empty()) {
            // What predicts the failure says more than an assessment that still passes.
            std::string said;
            for (const Counter& counter : source.counters) {
                unsigned long long count = 0;
                if (countOf(row, counter.property, &count) && count > 0) {
                    evidence->severity = MoreSevere(evidence->severity, counter.severity);
                    said += ", " + Counted(count, counter.one, counter.many);
                }
            }
            evidence->text = "health assessment " + assessment + said;
        }
        if (evidence->text.empty()) evidence->text = PropertyText(row, source.nameProperty);
        break;
    }
    case Health::kFinding: {
        const std::string key = "Name=" + PropertyText(row, "Name") + ", Device=" + PropertyText(row, "Device");
        const std::string found = findingOf(severities, className, key);
        evidence->severity = found.empty() ? kInfo : found;
        evidence->text = PropertyText(row, "SensorType") + " sensor " + PropertyText(row, "Name") + " reads " +
                         PropertyText(row, "CurrentReading") + " " + PropertyText(row, "Units");
        break;
    }
    case Health::kState: {
        const std::string state = PropertyText(row, "Status");
        const std::string key = std::string(source.findingKey) + "=" + PropertyText(row, source.findingKey);
        const std::string found = findingOf(severities, className, key);
        evidence->severity = !found.empty() ? found : state.empty() ? std::string() : kInfo;
        evidence->text = state.empty() ? "present" : "state " + state;
        break;
    }
    case Health::kCounters: {
        std::string said;
        bool counted = false;
        for (const Counter& counter : source.counters) {
            unsigned long long count = 0;
            if (!countOf(row, counter.property, &count)) continue;
            counted = true;
            if (count == 0) continue;
            evidence->severity = MoreSevere(evidence->severity, counter.severity);
            said += (said.empty() ? "" : ", ") + Counted(count, counter.one, counter.many);
        }
        if (counted && evidence->severity.empty()) evidence->severity = kInfo;
        evidence->text = said.empty() ? (counted ? "no errors counted" : "no counts") : said;
        break;
    }
    case Health::kNone:
        evidence->text = "present";
        break;
    case Health::kSelFull: {
        const std::string overflow = boost::algorithm::to_lower_copy(PropertyText(row, "Overflow"));
        const bool full = overflow == "true" || overflow == "yes" || overflow == "1";
        evidence->severity = full ? kWarning : kInfo;
        evidence->text = full ? "event log full: later events are lost"
                              : "event log read, " + PropertyText(row, "Entries") + " entries";
        break;
    }
    }
    if (className == "VARNSG_SELRecord" && PropertyText(row, "Direction") == "Deassertion") evidence->recovery = true;
    const std::string lower = boost::algorithm::to_lower_copy(evidence->text);
    if (contains(lower, kRecoveryWords, sizeof kRecoveryWords / sizeof *kRecoveryWords)) evidence->recovery = true;
    if (SeverityRank(evidence->severity) > SeverityRank(kInfo)) evidence->recovery = false;
}

// The parts a row names.
std::vector<PartName> namesOf(const PartSource& source, const TCIMInstance& row) {
    PartKind kind = source.kind;
    if (source.kindProperty) kind = kindNamed(PropertyText(row, source.kindProperty), kind);
    if (source.naming == Naming::kText) {
        std::vector<PartName> names = PartsNamedIn(PropertyText(row, source.nameProperty), source.scheme);
        if (names.empty() && source.kindProperty && kind != PartKind::kOther) {
            // A SEL record of a sensor of a known kind that its text does not name: the sensor names it.
            // Sensor numbers are the controller's own, never another source's part numbers.
            PartName name;
            const std::string number = PropertyText(row, "SensorNumber");
            if (NamePart(kind, PropertyText(row, source.kindProperty) + " " + number, source.scheme, &name)) {
                name.label = PropertyText(row, source.kindProperty) + " sensor " + number;
                name.scheme = "sel";
                names.push_back(name);
            }
        }
        return names;
    }
    std::string label = source.label ? std::string(source.label) : PropertyText(row, source.nameProperty);
    if (label.find_first_not_of(' ') == std::string::npos && source.fallbackProperty)
        label = PropertyText(row, source.fallbackProperty);
    PartName name;
    if (kind == PartKind::kOther && !source.kindProperty) return {};
    if (!NamePart(kind, label, source.scheme, &name)) {
        // A record whose component is not given may still name it in its text.
        return source.health == Health::kSource ? PartsNamedIn(PropertyText(row, "Message"), source.scheme)
                                                : std::vector<PartName>();
    }
    return {name};
}

int verdictOrder(Verdict verdict) {
    switch (verdict) {
    case Verdict::kFailed: return 0;
    case Verdict::kDegraded: return 1;
    case Verdict::kWarning: return 2;
    case Verdict::kOK: return 3;
    case Verdict::kUnknown: return 4;
    }
    return 4;
}

long long secondsOf(const PartEvidence& e) { return calendar::UtcSeconds(e.at); }

void decide(Part& part) {
    // Most recent first; evidence without a trusted time after the rest.
    std::stable_sort(part.evidence.begin(), part.evidence.end(), [](const PartEvidence& a, const PartEvidence& b) {
        if (a.timeTrusted != b.timeTrusted) return a.timeTrusted;
        return a.timeTrusted && secondsOf(a) > secondsOf(b);
    });
    long long lastRecovery = -1;
    std::string recoveryText;
    for (const PartEvidence& e : part.evidence) {
        if (e.timeTrusted && (!part.hasLatest || calendar::UtcSeconds(part.latest) < secondsOf(e))) {
            part.hasLatest = true;
            part.latest = e.at;
        }
        if (e.recovery && e.timeTrusted && secondsOf(e) > lastRecovery) {
            lastRecovery = secondsOf(e);
            recoveryText = e.text;
        }
    }
    const std::string later = " (later: " + recoveryText + ")";
    Verdict verdict = Verdict::kUnknown;
    for (const PartEvidence& e : part.evidence) {
        if (e.severity.empty()) continue;
        Verdict effect = Verdict::kOK;
        std::string reason = e.text;
        const int rank = SeverityRank(e.severity);
        if (rank >= SeverityRank(kError)) {
            const std::string lower = boost::algorithm::to_lower_copy(e.text);
            effect = contains(lower, kDegradedWords, sizeof kDegradedWords / sizeof *kDegradedWords)
                         ? Verdict::kDegraded
                         : Verdict::kFailed;
            // Back in order since: what happened stays a warning, not a failure.
            if (e.timeTrusted && lastRecovery > secondsOf(e)) {
                effect = Verdict::kWarning;
                reason += later;
            }
        } else if (rank == SeverityRank(kWarning)) {
            effect = Verdict::kWarning;
            if (e.timeTrusted && lastRecovery > secondsOf(e)) reason += later;
        }
        if (verdict == Verdict::kUnknown || verdictOrder(effect) < verdictOrder(verdict)) {
            verdict = effect;
            part.reason = reason;
        }
    }
    part.verdict = verdict;
    if (verdict == Verdict::kOK || verdict == Verdict::kUnknown) part.reason.clear();
}

}  // namespace

const char* VerdictName(Verdict verdict) {
    switch (verdict) {
    case Verdict::kFailed: return "Failed";
    case Verdict::kDegraded: return "Degraded";
    case Verdict::kWarning: return "Warning";
    case Verdict::kUnknown: return "Unknown";
    case Verdict::kOK: return "OK";
    }
    return "Unknown";
}

bool VerdictIsFailing(Verdict verdict) { return verdict == Verdict::kFailed || verdict == Verdict::kDegraded; }

PartsReport BuildParts(const TContainer& container, const FindingSeverities& severities, const TCIMDateTime& now) {
    PartsReport report;
    PartList parts;
    const long long latestTrusted = calendar::UtcSeconds(now) + kGrace;
    for (const PartSource& source : kSources) {
        const TCIMClass* cimClass = container.FindClass(source.className);
        if (!cimClass) continue;
        size_t position = 0;
        for (const TCIMInstance* row : cimClass->EnumerateInstances(true)) {
            PartEvidence evidence;
            evidence.className = source.className;
            evidence.position = position++;
            if (source.problemsOnly &&
                SeverityRank(MoreSevere(SourceSeverity(*row), std::string(kInfo))) <= SeverityRank(kInfo))
                continue;
            healthOf(source, *row, severities, &evidence);
            const std::vector<PartName> names = namesOf(source, *row);
            if (names.empty()) {
                if (source.naming == Naming::kText && !source.problemsOnly && source.health == Health::kSource &&
                    SeverityRank(evidence.severity) >= SeverityRank(kWarning))
                    ++report.unplaced;
                continue;
            }
            if (const TCIMDateTime* at = calendar::PointOf(row->GetPropertyValue("MessageTimestamp"))) {
                evidence.hasTime = true;
                evidence.at = *at;
                const long long seconds = calendar::UtcSeconds(*at);
                evidence.timeTrusted = seconds >= kEarliestTrusted && seconds <= latestTrusted;
            }
            for (const PartName& name : names) parts.Of(name).evidence.push_back(evidence);
        }
    }
    report.parts = std::move(parts.All());
    for (Part& part : report.parts) {
        decide(part);
        if (VerdictIsFailing(part.verdict)) ++report.failing;
        else if (part.verdict == Verdict::kWarning) ++report.warnings;
        else if (part.verdict == Verdict::kOK) ++report.ok;
        else ++report.unknown;
    }
    std::stable_sort(report.parts.begin(), report.parts.end(), [](const Part& a, const Part& b) {
        if (a.verdict != b.verdict) return verdictOrder(a.verdict) < verdictOrder(b.verdict);
        if (a.hasLatest != b.hasLatest) return a.hasLatest;
        if (a.hasLatest && calendar::UtcSeconds(a.latest) != calendar::UtcSeconds(b.latest))
            return calendar::UtcSeconds(a.latest) > calendar::UtcSeconds(b.latest);
        if (a.kind != b.kind) return a.kind < b.kind;
        return a.name < b.name;
    });
    return report;
}

std::string PartsHeadline(const PartsReport& report) {
    if (report.failing == 0 && report.warnings == 0) return "No part failing or with warnings";
    std::string out = report.failing == 0 ? std::string("No part failing")
                                          : std::to_string(report.failing) +
                                                (report.failing == 1 ? " part failing" : " parts failing");
    if (report.warnings) out += ", " + std::to_string(report.warnings) + (report.warnings == 1 ? " with a warning"
                                                                                               : " with warnings");
    return out;
}

std::string PartTitle(const Part& part) {
    // Words that say a part's kind in its own name: "Fan 3", "CPU 2", "PSU1" need no more.
    static const struct {
        PartKind kind;
        std::initializer_list<const char*> words;
    } kSaid[] = {
        {PartKind::kDimm, {"dimm", "memory"}}, {PartKind::kProcessor, {"cpu", "proc"}},
        {PartKind::kPowerSupply, {"power supply", "psu", "ps"}}, {PartKind::kFan, {"fan"}},
        {PartKind::kDisk, {"disk", "drive", "hdd", "ssd", "dasd"}}, {PartKind::kPcieDevice, {"pci"}},
        {PartKind::kController, {"controller", "mc"}}, {PartKind::kServiceProcessor, {"service processor"}},
        {PartKind::kManagementController, {"bmc", "management"}},
    };
    const std::string lower = boost::algorithm::to_lower_copy(part.name);
    if (part.kind == PartKind::kOther) return part.name;
    for (const auto& said : kSaid)
        if (said.kind == part.kind)
            for (const char* word : said.words)
                if (lower.find(word) != std::string::npos) return part.name;
    return std::string(PartKindName(part.kind)) + " " + part.name;
}
