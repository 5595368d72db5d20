#include "finding_groups.h"

#include <algorithm>
#include <map>
#include <tuple>

#include <boost/algorithm/string/predicate.hpp>

#include "value_display.h"
#include "wyxcore/calendar.h"
#include "wyxcore/container.h"

std::vector<FindingGroup> GroupFindings(const TContainer& container) {
    std::vector<FindingGroup> groups;
    const TCIMClass* cimClass = container.FindClass("VARNSG_AnalysisFinding");
    if (!cimClass) return groups;
    using Key = std::tuple<std::string, std::string, std::string, std::string>;
    std::map<Key, size_t> index;
    for (const TCIMInstance* finding : cimClass->EnumerateInstances(true)) {
        const Key key(PropertyText(*finding, "Category"), PropertyText(*finding, "Description"),
                      PropertyText(*finding, "SourceClass"), PropertyText(*finding, "SourceMessage"));
        auto found = index.find(key);
        if (found == index.end()) {
            found = index.emplace(key, groups.size()).first;
            FindingGroup group;
            std::tie(group.category, group.description, group.sourceClass, group.message) = key;
            groups.push_back(group);
        }
        FindingGroup& group = groups[found->second];
        ++group.count;
        const std::string severity = PropertyText(*finding, "Severity");
        if (SeverityRank(severity) > SeverityRank(group.severity)) group.severity = severity;
        const TCIMValue* stamp = finding->GetPropertyValue("SourceTimestamp");
        const std::string key0 = PropertyText(*finding, "SourceKey");
        const TCIMDateTime* point = calendar::PointOf(stamp);
        if (!point) {
            if (group.latestKey.empty()) group.latestKey = key0;
            continue;
        }
        const TCIMDateTime& at = *point;
        if (!group.hasTime || at < group.first) group.first = at;
        if (!group.hasTime || !(at < group.last)) {
            group.last = at;
            group.latestKey = key0;
        }
        group.hasTime = true;
    }
    std::stable_sort(groups.begin(), groups.end(), [](const FindingGroup& a, const FindingGroup& b) {
        const int ra = SeverityRank(a.severity), rb = SeverityRank(b.severity);
        if (ra != rb) return ra > rb;
        if (a.hasTime != b.hasTime) return a.hasTime;
        return a.hasTime && b.last < a.last;
    });
    return groups;
}

std::string FindingText(const std::string& category, const std::string& description, const std::string& message) {
    std::string out;
    const std::string pieces[] = {category, description, message};
    for (size_t i = 0; i < 3; ++i) {
        if (pieces[i].empty()) continue;
        bool repeated = false;
        for (size_t next = i + 1; next < 3; ++next)
            repeated = repeated || boost::algorithm::istarts_with(pieces[next], pieces[i]);
        // A rule's description may already quote the message whole.
        repeated = repeated || boost::algorithm::icontains(out, pieces[i]);
        if (!repeated) out += (out.empty() ? "" : ": ") + pieces[i];
    }
    return out;
}
