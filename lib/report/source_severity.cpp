#include "source_severity.h"

#include <cctype>
#include <initializer_list>

#include <boost/algorithm/string/case_conv.hpp>

#include "severity.h"
#include "value_display.h"
#include "wyxcore/container.h"

namespace {

const char kError[] = "Error";
const char kWarning[] = "Warning";
const char kInfo[] = "Info";

enum class Reading {
    kCode,        // a severity code or word (SeverityOfCode)
    kEventText,   // a decoded service-processor event (SeverityOfEventText)
    kAssessment,  // a health assessment: "Failed" or "Passed"
    kLogType,     // a core-log type number
    kFixed,       // the class's records are all of one severity
};

struct SourceRow {
    const char* className;
    const char* property;
    Reading reading;
    const char* fixed;
};

// Every source that gives its records a severity. A collector whose class
// carries one adds a row here.
const SourceRow kSources[] = {
    {"VARNSG_ULKLog", "Severity", Reading::kCode, nullptr},
    {"VARNSG_TRAVLog", "Message", Reading::kEventText, nullptr},
    {"VARNSG_OSEventLogRecord", "Severity", Reading::kCode, nullptr},
    {"VARNSG_HardwareErrorRecord", "Severity", Reading::kCode, nullptr},
    {"VARNSG_SELRecord", "Severity", Reading::kCode, nullptr},
    {"VARNSG_DiskHealth", "Assessment", Reading::kAssessment, nullptr},
    {"VARNSG_OSKLogRecord", "Type", Reading::kLogType, nullptr},
    {"VARNSG_HeavyHittersLogRecord", nullptr, Reading::kFixed, kWarning},
    {"VARNSG_AnalysisFinding", "Severity", Reading::kCode, nullptr},
};

struct CodeRow {
    std::initializer_list<const char*> codes;   // lower case
    const char* severity;
};

// Processors write their code as a number, a letter or the letter's byte; OS
// logs write a level word.
const CodeRow kCodes[] = {
    {{"2", "e", "69", "error", "err", "critical", "crit", "alert", "emergency", "emerg", "fatal"}, kError},
    {{"1", "w", "87", "warning", "warn"}, kWarning},
    {{"0", "i", "73", "info", "information", "informational", "notice", "debug", "verbose", "status"}, kInfo},
};

using Words = std::initializer_list<const char*>;

struct EventRow {
    Words all;   // lower case; each a part of the text
    const char* severity;
};

// The texts the Tolm decoders write; the first row whose words are all in the
// text decides. Trouble comes before the texts of a component in order, and
// "No voltage faults" before "fault".
const EventRow kEvents[] = {
    {{"no voltage fault"}, kInfo},
    {{"warning threshold reached"}, kWarning},
    {{"over temperature"}, kError},
    {{"not in normal range"}, kError},
    {{"voltage fault"}, kError},
    {{"missing"}, kError},
    {{"fail"}, kError},
    {{"fault"}, kError},
    {{"invalid configuration"}, kError},
    {{"smi ", "error"}, kError},
    {{"ac power removed"}, kWarning},
    {{"server restarted"}, kWarning},
    {{"present and functioning"}, kInfo},
    {{"normal range"}, kInfo},
    {{"smi "}, kInfo},
    {{"bios message"}, kInfo},
    {{"invalid log entry"}, kInfo},
};

std::string trimmedLower(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return std::string();
    return boost::algorithm::to_lower_copy(text.substr(first, text.find_last_not_of(" \t") - first + 1));
}

const SourceRow* rowOf(const std::string& className) {
    for (const SourceRow& row : kSources)
        if (className == row.className) return &row;
    return nullptr;
}

}  // namespace

std::string SeverityOfCode(const std::string& code) {
    const std::string value = trimmedLower(code);
    for (const CodeRow& row : kCodes)
        for (const char* known : row.codes)
            if (value == known) return row.severity;
    return std::string();
}

std::string SeverityOfEventText(const std::string& text) {
    const std::string value = boost::algorithm::to_lower_copy(text);
    for (const EventRow& row : kEvents) {
        bool all = true;
        for (const char* word : row.all) all = all && value.find(word) != std::string::npos;
        if (all) return row.severity;
    }
    return std::string();
}

std::string SourceSeverity(const TCIMInstance& record) {
    const SourceRow* row = rowOf(record.GetClass()->GetName());
    if (!row) return std::string();
    const std::string value = row->property ? PropertyText(record, row->property) : std::string();
    switch (row->reading) {
    case Reading::kCode: return SeverityOfCode(value);
    case Reading::kEventText: return SeverityOfEventText(value);
    case Reading::kAssessment: {
        const std::string assessment = trimmedLower(value);
        if (assessment == "failed") return kError;
        return assessment == "passed" ? kInfo : std::string();
    }
    case Reading::kLogType: {
        const std::string type = trimmedLower(value);
        if (type == "0") return kError;
        if (type == "1") return kWarning;
        return type.empty() ? std::string() : kInfo;
    }
    case Reading::kFixed: return row->fixed;
    }
    return std::string();
}

const std::string& MoreSevere(const std::string& a, const std::string& b) {
    return SeverityRank(b) > SeverityRank(a) ? b : a;
}
