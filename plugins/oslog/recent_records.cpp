#include <algorithm>

#include "log_record.h"

namespace oslog {

std::string SeverityOfPriority(int priority) {
    if (priority >= 0 && priority <= 3) return "Error";
    if (priority == 4) return "Warning";
    return std::string();
}

void RecentRecords::Add(LogRecord record) {
    if (!InWindow(record.utcMicros)) return;
    if (Full()) {
        if (record.utcMicros <= heap_.top().record.utcMicros) return;
        heap_.pop();
    }
    heap_.push(Kept{std::move(record), arrivals_++});
}

std::vector<LogRecord> RecentRecords::Take() {
    std::vector<LogRecord> records;
    records.reserve(heap_.size());
    while (!heap_.empty()) {
        records.push_back(heap_.top().record);
        heap_.pop();
    }
    return records;
}

}  // namespace oslog
