#include "message_rules.h"

#include <cctype>

namespace {

std::string lower(const std::string& text) {
    std::string out = text;
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// True when word occurs in text at the start of a word (text in lower case).
bool hasWord(const std::string& text, const std::string& word) {
    for (size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1))
        if (at == 0 || !std::isalnum(static_cast<unsigned char>(text[at - 1]))) return true;
    return false;
}

bool hasAny(const std::string& text, std::initializer_list<const char*> words) {
    for (const char* word : words)
        if (hasWord(text, word)) return true;
    return false;
}

}  // namespace

std::vector<MessageFinding> ClassifyMessage(const std::string& message) {
    const std::string text = lower(message);
    std::vector<MessageFinding> found;
    const bool overTemperature = hasWord(text, "over temperature");
    if (hasWord(text, "fan") && hasAny(text, {"missing", "fail"}))
        found.push_back({"Fan", "Error", "Fan missing or failed"});
    if (hasWord(text, "power suppl")) {
        if (hasAny(text, {"missing", "fault", "fail"}))
            found.push_back({"Power supply", "Error", "Power supply missing or faulty"});
        else if (hasWord(text, "ac power removed"))
            found.push_back({"Power supply", "Warning", "Power supply without AC power"});
    }
    if (hasWord(text, "dasd") && !overTemperature && hasAny(text, {"missing", "fail"}))
        found.push_back({"DASD", "Error", "DASD device missing or failed"});
    if (hasWord(text, "vrm") && hasWord(text, "fail")) found.push_back({"VRM", "Error", "VRM failed"});
    if (overTemperature) {
        if (hasWord(text, "warning threshold"))
            found.push_back({"Temperature", "Warning", "Temperature warning threshold reached"});
        else
            found.push_back({"Temperature", "Error", "Over temperature"});
    }
    if ((hasWord(text, "voltage fault") && !hasWord(text, "no voltage fault")) || text.find("voltages not in normal range") != std::string::npos)
        found.push_back({"Voltage", "Error", "Voltage fault"});
    if (hasWord(text, "watchdog") && hasAny(text, {"restart", "timed out", "triggered"}))
        found.push_back({"Watchdog", "Warning", "Server restarted by a watchdog"});
    return found;
}

bool IsErrorSeverity(const std::string& severity) {
    const size_t first = severity.find_first_not_of(' ');
    const size_t last = severity.find_last_not_of(' ');
    if (first == std::string::npos) return false;
    const std::string value = lower(severity.substr(first, last - first + 1));
    return value == "2" || value == "69" || value == "e" || value == "error";
}
