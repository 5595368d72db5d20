#include "collector_record.h"

#include <cctype>

namespace {

const char kPrefix[] = "Collector ";
const char kRan[] = "ran, ";
const char kAdded[] = " instances added.";
const char kDisabled[] = "disabled.";
const char kNotLoaded[] = "not loaded.";

bool endsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

bool ParseCollectorRecord(const std::string& message, CollectorRecord* record) {
    if (message.compare(0, sizeof kPrefix - 1, kPrefix) != 0) return false;
    // Names may hold anything; the step and outcome never hold "), ".
    const size_t close = message.rfind("), ");
    const size_t open = close == std::string::npos ? close : message.rfind(" (", close);
    const size_t colon = close == std::string::npos ? close : message.find(": ", close);
    if (open == std::string::npos || colon == std::string::npos || open < sizeof kPrefix - 1) return false;
    CollectorRecord parsed;
    parsed.plugin = message.substr(sizeof kPrefix - 1, open - (sizeof kPrefix - 1));
    parsed.selection = message.substr(open + 2, close - open - 2);
    parsed.step = message.substr(close + 3, colon - close - 3);
    const std::string outcome = message.substr(colon + 2);
    if (outcome == kDisabled) {
        parsed.outcome = CollectorOutcome::kDisabled;
    } else if (outcome == kNotLoaded) {
        parsed.outcome = CollectorOutcome::kNotLoaded;
    } else if (outcome.compare(0, sizeof kRan - 1, kRan) == 0 && endsWith(outcome, kAdded)) {
        const std::string count = outcome.substr(sizeof kRan - 1, outcome.size() - (sizeof kRan - 1) -
                                                                      (sizeof kAdded - 1));
        if (count.empty() || count.size() > 18) return false;
        for (char c : count)
            if (!std::isdigit(static_cast<unsigned char>(c))) return false;
        parsed.outcome = CollectorOutcome::kRan;
        parsed.instancesAdded = std::stoull(count);
    } else {
        return false;
    }
    *record = parsed;
    return true;
}
