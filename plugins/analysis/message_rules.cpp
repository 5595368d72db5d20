#include "message_rules.h"

#include <cctype>
#include <initializer_list>

#include <boost/algorithm/string/case_conv.hpp>

#include "severity.h"
#include "source_severity.h"

namespace {

using Words = std::initializer_list<const char*>;

// One rule: the message holds every word of all, one of any (when given) and
// none of none. Words match at the start of a word, ignoring case.
struct Rule {
    const char* category;
    const char* severity;    // null: a routine event, no finding
    const char* description;
    Words all, any, none;
};

// Every rule of the analysis, in one place. Within a category the first rule
// that matches decides. The severity byte of an entry is no rule of its own:
// processors mark routine events such as "System power on" or "System log
// cleared" with the error code too, so it counts only for an entry whose text
// matches no rule here (see ClassifyEntry).
const Rule kRules[] = {
    {"Fan", "Error", "Fan missing or failed", {"fan"}, {"missing", "fail"}, {}},
    {"Power supply", "Error", "Power supply missing or faulty", {"power suppl"}, {"missing", "fault", "fail"}, {}},
    {"Power supply", "Warning", "Power supply without AC power", {"power suppl", "ac power removed"}, {}, {}},
    {"Power supply", "Error", "Power supply lost its AC input", {"power suppl", "ac lost"}, {}, {}},
    {"Memory", "Error", "Uncorrectable memory error", {"uncorrectable"}, {"ecc", "memory", "dimm"}, {}},
    {"Disk", "Error", "Disk predicting its failure", {"predictive fail"}, {}, {}},
    {"DASD", "Error", "DASD device missing or failed", {"dasd"}, {"missing", "fail"}, {"over temperature"}},
    {"VRM", "Error", "VRM failed", {"vrm", "fail"}, {}, {}},
    {"Temperature", "Warning", "Temperature warning threshold reached", {"over temperature", "warning threshold"}, {},
     {}},
    {"Temperature", "Error", "Over temperature", {"over temperature"}, {}, {}},
    {"Temperature", "Warning", "Temperature over its warning threshold", {"temperature", "warning threshold"}, {},
     {"back to normal"}},
    {"Voltage", "Error", "Voltage fault", {"voltage fault"}, {}, {"no voltage fault"}},
    {"Voltage", "Error", "Voltage fault", {"voltages not in normal range"}, {}, {}},
    {"Watchdog", "Warning", "Server restarted by a watchdog", {"watchdog"}, {"restart", "timed out", "triggered"}, {}},
    // Routine events, whatever severity the processor gives them.
    {"Routine", nullptr, "", {}, {"power on", "powered on", "power off", "powered off", "log cleared",
                                  "recovered", "restored", "login", "logged in", "logoff", "logout", "logged out",
                                  "session opened", "session closed"}, {"fail", "error", "denied"}},
};

const char kError[] = "Error";
const char kWarning[] = "Warning";
const char kErrorEntry[] = "Service-processor log entry of error severity";
const char kWarningEntry[] = "Service-processor log entry of warning severity";

// True when word occurs in text at the start of a word (text in lower case).
bool hasWord(const std::string& text, const std::string& word) {
    for (size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1))
        if (at == 0 || !std::isalnum(static_cast<unsigned char>(text[at - 1]))) return true;
    return false;
}

bool matches(const Rule& rule, const std::string& text) {
    for (const char* word : rule.all)
        if (!hasWord(text, word)) return false;
    for (const char* word : rule.none)
        if (hasWord(text, word)) return false;
    if (rule.any.size() == 0) return true;
    for (const char* word : rule.any)
        if (hasWord(text, word)) return true;
    return false;
}

// The findings of the text, and whether it reports a routine event.
std::vector<MessageFinding> classify(const std::string& message, bool* routine) {
    const std::string text = boost::algorithm::to_lower_copy(message);
    std::vector<MessageFinding> found;
    *routine = false;
    std::string decided;   // the category of the last rule that matched
    for (const Rule& rule : kRules) {
        if (rule.category == decided || !matches(rule, text)) continue;
        decided = rule.category;
        if (rule.severity) found.push_back({rule.category, rule.severity, rule.description});
        else *routine = true;
    }
    return found;
}

}  // namespace

std::vector<MessageFinding> ClassifyMessage(const std::string& message) {
    bool routine;
    return classify(message, &routine);
}

std::vector<MessageFinding> ClassifyEntry(const std::string& message, const std::string& sourceSeverity) {
    bool routine;
    std::vector<MessageFinding> found = classify(message, &routine);
    const int rank = SeverityRank(sourceSeverity);
    if (found.empty() && !routine && rank >= SeverityRank(kError))
        found.push_back({"Service processor", kError, kErrorEntry});
    else if (found.empty() && !routine && rank == SeverityRank(kWarning))
        found.push_back({"Service processor", kWarning, kWarningEntry});
    for (MessageFinding& f : found) f.severity = MoreSevere(f.severity, sourceSeverity);
    return found;
}
