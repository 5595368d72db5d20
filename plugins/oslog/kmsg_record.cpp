#include <cstdint>
#include <cstdlib>

#include "log_record.h"

namespace oslog {

namespace {

bool number(const std::string& text, long long* value) {
    if (text.empty() || text.size() > 18 || text.find_first_not_of("0123456789") != std::string::npos) return false;
    *value = std::strtoll(text.c_str(), nullptr, 10);
    return true;
}

}  // namespace

bool ParseKmsgRecord(const std::string& record, int64_t bootMicros, LogRecord* out) {
    const size_t semicolon = record.find(';');
    if (semicolon == std::string::npos) return false;
    const std::string prefix = record.substr(0, semicolon);
    const size_t first = prefix.find(','), second = prefix.find(',', first + 1);
    if (first == std::string::npos || second == std::string::npos) return false;
    const size_t third = prefix.find(',', second + 1);
    long long priority = 0, sequence = 0, micros = 0;
    if (!number(prefix.substr(0, first), &priority) ||
        !number(prefix.substr(first + 1, second - first - 1), &sequence) ||
        !number(prefix.substr(second + 1, third == std::string::npos ? std::string::npos : third - second - 1),
                &micros))
        return false;
    // The low three bits are the level; the rest is the facility.
    const std::string severity = SeverityOfPriority(static_cast<int>(priority & 7));
    if (severity.empty()) return false;
    std::string message = record.substr(semicolon + 1);
    message = message.substr(0, message.find('\n'));   // continuation lines hold key=value pairs
    // Both are at most 18 digits, but an unknown boot time leaves the record undated.
    out->dated = bootMicros >= 0 && micros <= INT64_MAX - bootMicros;
    out->utcMicros = out->dated ? bootMicros + micros : micros;
    out->recordId = std::to_string(sequence);
    out->source = "kernel";
    out->severity = severity;
    out->eventId.clear();
    out->message = message.substr(0, kFieldLimit);
    return true;
}

}  // namespace oslog
