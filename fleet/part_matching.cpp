#include "part_matching.h"

namespace {

std::vector<std::string> differences(const PartFact& a, const PartFact& b) {
    std::vector<std::string> what;
    if (a.serial != b.serial) what.push_back("serial");
    if (a.size != b.size) what.push_back("size");
    if (a.location != b.location) what.push_back("location");
    if (a.firmware != b.firmware) what.push_back("firmware");
    return what;
}

}  // namespace

const char* PartChangeName(PartChangeKind change) {
    switch (change) {
    case PartChangeKind::kAdded: return "added";
    case PartChangeKind::kRemoved: return "removed";
    case PartChangeKind::kChanged: return "changed";
    }
    return "changed";
}

std::vector<PartChange> MatchParts(const std::vector<PartFact>& before, const std::vector<PartFact>& after) {
    std::vector<int> partnerOfAfter(after.size(), -1);
    std::vector<bool> used(before.size(), false);
    auto pass = [&](bool bySerial) {
        for (size_t j = 0; j < after.size(); ++j) {
            if (partnerOfAfter[j] >= 0) continue;
            for (size_t i = 0; i < before.size(); ++i) {
                if (used[i] || before[i].kind != after[j].kind) continue;
                const bool match = bySerial ? !after[j].serial.empty() && before[i].serial == after[j].serial
                                            : before[i].location == after[j].location;
                if (!match) continue;
                used[i] = true;
                partnerOfAfter[j] = static_cast<int>(i);
                break;
            }
        }
    };
    pass(true);
    pass(false);
    std::vector<PartChange> changes;
    for (size_t i = 0; i < before.size(); ++i) {
        if (used[i]) continue;
        PartChange change;
        change.change = PartChangeKind::kRemoved;
        change.kind = before[i].kind;
        change.before = before[i];
        changes.push_back(change);
    }
    for (size_t j = 0; j < after.size(); ++j) {
        PartChange change;
        change.kind = after[j].kind;
        change.after = after[j];
        if (partnerOfAfter[j] < 0) {
            change.change = PartChangeKind::kAdded;
        } else {
            change.before = before[partnerOfAfter[j]];
            change.what = differences(change.before, change.after);
            if (change.what.empty()) continue;
        }
        changes.push_back(change);
    }
    return changes;
}
