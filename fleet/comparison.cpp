#include "comparison.h"

#include <map>
#include <tuple>

#include "record_identity.h"

const char* FindingChangeName(FindingChangeKind change) {
    switch (change) {
    case FindingChangeKind::kAppeared: return "appeared";
    case FindingChangeKind::kCleared: return "cleared";
    case FindingChangeKind::kChanged: return "changed severity";
    }
    return "changed severity";
}

std::vector<FindingChange> DiffFindings(const std::vector<FindingFact>& before, const std::vector<FindingFact>& after) {
    using Key = std::tuple<std::string, std::string, std::string, std::string>;
    auto keyOf = [](const FindingFact& f) { return Key(f.category, f.description, f.sourceClass, f.message); };
    std::map<Key, const FindingFact*> old;
    for (const FindingFact& f : before) old.emplace(keyOf(f), &f);
    std::map<Key, bool> seen;
    std::vector<FindingChange> changes;
    for (const FindingFact& f : after) {
        seen[keyOf(f)] = true;
        const auto found = old.find(keyOf(f));
        if (found == old.end()) {
            changes.push_back({FindingChangeKind::kAppeared, FindingFact(), f});
        } else if (found->second->severity != f.severity) {
            changes.push_back({FindingChangeKind::kChanged, *found->second, f});
        }
    }
    for (const FindingFact& f : before)
        if (!seen.count(keyOf(f))) changes.push_back({FindingChangeKind::kCleared, f, FindingFact()});
    return changes;
}

void Compare(CollectionFacts oldFacts, CollectionFacts newFacts, Comparison* comparison) {
    comparison->oldFacts = std::move(oldFacts);
    comparison->newFacts = std::move(newFacts);
    const CollectionFacts& a = comparison->oldFacts;
    const CollectionFacts& b = comparison->newFacts;
    comparison->newRecords = RecordsOnlyIn(a.records, b.records);
    comparison->goneRecords = RecordsOnlyIn(b.records, a.records).size();
    comparison->findings = DiffFindings(a.findings, b.findings);
    comparison->verdicts = DiffPartVerdicts(a.partVerdicts, b.partVerdicts);
    comparison->parts = MatchParts(a.parts, b.parts);
    comparison->versions = DiffVersions(a.versions, b.versions);
}

namespace {

std::string count(size_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

}  // namespace

std::string ComparisonSummary(const Comparison& c) {
    size_t appeared = 0, cleared = 0, changed = 0;
    for (const FindingChange& f : c.findings)
        (f.change == FindingChangeKind::kAppeared  ? appeared
         : f.change == FindingChangeKind::kCleared ? cleared
                                                   : changed)++;
    size_t verdictsAppeared = 0, verdictsCleared = 0, verdictsChanged = 0;
    for (const VerdictChange& v : c.verdicts)
        (v.change == VerdictChangeKind::kAppeared  ? verdictsAppeared
         : v.change == VerdictChangeKind::kCleared ? verdictsCleared
                                                   : verdictsChanged)++;
    size_t added = 0, removed = 0, altered = 0;
    for (const PartChange& p : c.parts)
        (p.change == PartChangeKind::kAdded ? added : p.change == PartChangeKind::kRemoved ? removed : altered)++;
    std::string line = count(c.newRecords.size(), "new log record", "new log records") +
                       "; findings: " + std::to_string(appeared) + " appeared, " + std::to_string(cleared) +
                       " cleared, " + std::to_string(changed) + " changed; part verdicts: " + std::to_string(verdictsAppeared) + " appeared, " +
                       std::to_string(verdictsCleared) + " cleared, " + std::to_string(verdictsChanged) +
                       " changed; parts: " + std::to_string(added) +
                       " added, " + std::to_string(removed) + " removed, " + std::to_string(altered) + " changed; " +
                       count(c.versions.size(), "version change", "version changes");
    if (c.goneRecords)
        line += "; " + count(c.goneRecords, "old record no longer logged", "old records no longer logged");
    return line;
}
