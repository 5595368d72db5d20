#include "record_identity.h"

#include <map>
#include <tuple>

namespace {

using Key = std::tuple<std::string, std::string, std::string>;

Key keyOf(const LogRecordFact& record) { return Key(record.log, record.recordId, record.message); }

int64_t distance(const LogRecordFact& a, const LogRecordFact& b) {
    return a.utcSeconds > b.utcSeconds ? a.utcSeconds - b.utcSeconds : b.utcSeconds - a.utcSeconds;
}

}  // namespace

bool SameRecord(const LogRecordFact& a, const LogRecordFact& b) {
    if (keyOf(a) != keyOf(b) || a.hasTime != b.hasTime) return false;
    return !a.hasTime || distance(a, b) <= kCorrectionSlackSeconds;
}

std::vector<const LogRecordFact*> RecordsOnlyIn(const std::vector<LogRecordFact>& before,
                                                const std::vector<LogRecordFact>& after) {
    // Candidates of before by key; the closest unused one in time answers.
    std::map<Key, std::vector<std::pair<const LogRecordFact*, bool> > > candidates;
    for (const LogRecordFact& record : before) candidates[keyOf(record)].push_back({&record, false});
    std::vector<const LogRecordFact*> only;
    for (const LogRecordFact& record : after) {
        auto found = candidates.find(keyOf(record));
        std::pair<const LogRecordFact*, bool>* best = nullptr;
        if (found != candidates.end()) {
            for (auto& candidate : found->second) {
                if (candidate.second || !SameRecord(*candidate.first, record)) continue;
                if (!best || distance(*candidate.first, record) < distance(*best->first, record)) best = &candidate;
            }
        }
        if (best)
            best->second = true;
        else
            only.push_back(&record);
    }
    return only;
}
