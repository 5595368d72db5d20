#include "record_identity.h"

#include <algorithm>
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
    // Candidates of before by key, in order of time: only those within the slack
    // are looked at, so a log of thousands of alike records stays linear.
    struct Candidate {
        bool hasTime;
        int64_t at;
        bool used;
    };
    std::map<Key, std::vector<Candidate> > candidates;
    for (const LogRecordFact& record : before)
        candidates[keyOf(record)].push_back({record.hasTime, record.utcSeconds, false});
    for (auto& key : candidates)
        std::sort(key.second.begin(), key.second.end(), [](const Candidate& a, const Candidate& b) {
            return std::tie(a.hasTime, a.at) < std::tie(b.hasTime, b.at);
        });
    std::vector<const LogRecordFact*> only;
    for (const LogRecordFact& record : after) {
        auto found = candidates.find(keyOf(record));
        Candidate* best = nullptr;
        if (found != candidates.end()) {
            std::vector<Candidate>& list = found->second;
            const int64_t from = record.hasTime ? record.utcSeconds - kCorrectionSlackSeconds : 0;
            auto it = std::lower_bound(list.begin(), list.end(), std::make_pair(record.hasTime, from),
                                       [](const Candidate& c, const std::pair<bool, int64_t>& v) {
                                           return std::make_pair(c.hasTime, c.at) < v;
                                       });
            auto gap = [&record](const Candidate& c) {
                return c.at > record.utcSeconds ? c.at - record.utcSeconds : record.utcSeconds - c.at;
            };
            for (; it != list.end() && it->hasTime == record.hasTime; ++it) {
                if (record.hasTime && it->at > record.utcSeconds + kCorrectionSlackSeconds) break;
                if (it->used) continue;
                if (!record.hasTime) {   // without a time, any unused one answers
                    best = &*it;
                    break;
                }
                if (!best || gap(*it) < gap(*best)) best = &*it;
            }
        }
        if (best)
            best->used = true;
        else
            only.push_back(&record);
    }
    return only;
}
