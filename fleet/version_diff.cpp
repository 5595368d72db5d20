#include "version_diff.h"

#include <map>
#include <set>
#include <utility>

namespace {

using Key = std::pair<std::string, std::string>;

// The versions of each identity, joined in order for display.
std::map<Key, std::set<std::string> > byIdentity(const std::vector<VersionFact>& versions,
                                                 std::vector<Key>* order) {
    std::map<Key, std::set<std::string> > map;
    for (const VersionFact& v : versions) {
        const Key key(v.kind, v.name);
        if (!map.count(key)) order->push_back(key);
        map[key].insert(v.version);
    }
    return map;
}

std::string joined(const std::set<std::string>& versions) {
    std::string text;
    for (const std::string& v : versions) text += (text.empty() ? "" : ", ") + v;
    return text;
}

}  // namespace

std::vector<VersionChange> DiffVersions(const std::vector<VersionFact>& before, const std::vector<VersionFact>& after) {
    std::vector<Key> beforeOrder, afterOrder;
    const auto old = byIdentity(before, &beforeOrder);
    const auto now = byIdentity(after, &afterOrder);
    std::vector<VersionChange> changes;
    for (const Key& key : afterOrder) {
        const auto found = old.find(key);
        VersionChange change{key.first, key.second, std::string(), joined(now.at(key)), false, false};
        if (found == old.end()) {
            change.appeared = true;
        } else if (found->second != now.at(key)) {
            change.before = joined(found->second);
        } else {
            continue;
        }
        changes.push_back(change);
    }
    for (const Key& key : beforeOrder) {
        if (now.count(key)) continue;
        changes.push_back({key.first, key.second, joined(old.at(key)), std::string(), false, true});
    }
    return changes;
}
