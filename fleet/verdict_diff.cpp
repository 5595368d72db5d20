#include "verdict_diff.h"

#include <map>
#include <tuple>

#include "parts.h"

const char* VerdictChangeName(VerdictChangeKind change) {
    switch (change) {
    case VerdictChangeKind::kAppeared: return "appeared";
    case VerdictChangeKind::kCleared: return "cleared";
    case VerdictChangeKind::kChanged: return "changed";
    }
    return "changed";
}

bool VerdictIsProblem(const std::string& verdict) {
    return verdict == VerdictName(Verdict::kFailed) || verdict == VerdictName(Verdict::kDegraded) ||
           verdict == VerdictName(Verdict::kWarning);
}

std::vector<VerdictChange> DiffPartVerdicts(const std::vector<PartVerdictFact>& before,
                                            const std::vector<PartVerdictFact>& after) {
    using Key = std::tuple<std::string, std::string, std::string>;
    auto keyOf = [](const PartVerdictFact& p) { return Key(p.kind, p.key, p.scheme); };
    std::map<Key, const PartVerdictFact*> old, now;
    for (const PartVerdictFact& p : before) old.emplace(keyOf(p), &p);
    for (const PartVerdictFact& p : after) now.emplace(keyOf(p), &p);
    std::vector<VerdictChange> changes;
    for (const PartVerdictFact& p : after) {
        if (!VerdictIsProblem(p.verdict) || now.at(keyOf(p)) != &p) continue;
        const auto found = old.find(keyOf(p));
        const PartVerdictFact* was = found == old.end() ? nullptr : found->second;
        if (was && VerdictIsProblem(was->verdict)) {
            if (was->verdict != p.verdict) changes.push_back({VerdictChangeKind::kChanged, true, true, *was, p});
        } else {
            changes.push_back({VerdictChangeKind::kAppeared, was != nullptr, true, was ? *was : PartVerdictFact(), p});
        }
    }
    for (const PartVerdictFact& p : before) {
        if (!VerdictIsProblem(p.verdict) || old.at(keyOf(p)) != &p) continue;
        const auto found = now.find(keyOf(p));
        const PartVerdictFact* is = found == now.end() ? nullptr : found->second;
        if (!is || !VerdictIsProblem(is->verdict))
            changes.push_back({VerdictChangeKind::kCleared, true, is != nullptr, p, is ? *is : PartVerdictFact()});
    }
    return changes;
}
