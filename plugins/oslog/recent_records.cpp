#include <algorithm>

#include "log_record.h"

namespace oslog {

std::string SeverityOfPriority(int priority) {
    if (priority >= 0 && priority <= 3) return "Error";
    if (priority == 4) return "Warning";
    return std::string();
}

RecentRecords::Place RecentRecords::where(const LogRecord& record) const {
    if (!record.dated) return kInWindow;
    if (record.utcMicros < oldest_) return kBefore;
    if (record.utcMicros > newest_) return kAfter;
    return kInWindow;
}

RecentRecords::Place RecentRecords::Add(LogRecord record) {
    ++added_;
    const Place place = where(record);
    beforeRun_ = place == kBefore ? beforeRun_ + 1 : 0;
    if (place == kBefore) ++before_;
    if (place == kAfter) ++after_;
    if (place != kInWindow) return place;
    if (Full()) {
        ++beyondLimit_;
        if (record.utcMicros <= heap_.top().record.utcMicros) return place;
        heap_.pop();
    }
    heap_.push(Kept{std::move(record), added_});
    return place;
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

void RecentRecords::Report(Notes& notes) const {
    if (after_) notes.push_back(std::to_string(after_) + " OS log entries dated in the future left out");
    if (before_) notes.push_back(std::to_string(before_) + " OS log entries older than 30 days left out");
    if (Full())
        notes.push_back("Only the newest " + std::to_string(kMaxRecords) + " OS log entries of the last 30 days kept" +
                        (beyondLimit_ ? "; " + std::to_string(beyondLimit_) + " older ones left out" : ""));
    if (Exhausted()) notes.push_back("OS log reading stopped after " + std::to_string(kScanLimit) + " entries");
}

}  // namespace oslog
