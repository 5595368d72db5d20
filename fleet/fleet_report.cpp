#include "fleet_report.h"

#include <algorithm>
#include <map>
#include <set>
#include <tuple>

#include "fleet_store.h"
#include "severity.h"
#include "wyxcore/safe_name.h"

const char kPackageKind[] = "Package";

namespace {

struct StoredCollection {
    std::string id, hash, file, host, collectedShown, verdict, verdictSeverity;
    long long collected = -1;
};

// Collections by server (serial, type-model), oldest first.
using Servers = std::map<std::pair<std::string, std::string>, std::vector<StoredCollection> >;

Servers loadServers(SqlConnection& store) {
    Servers servers;
    const SqlResult result = store.Query(
        "SELECT s.serial, s.type_model, c.id, c.content_hash, c.file_name, c.host, c.collected_utc, "
        "c.collected_shown, c.verdict, c.parts_failing, c.parts_warnings FROM collections c"
        " JOIN servers s ON s.id = c.server_id");
    for (const SqlRow& r : result.rows) {
        StoredCollection c{r[2].text, r[3].text, r[4].text, r[5].text, r[7].text, r[8].text, std::string(), -1};
        // Stored before the parts model, a collection's verdict was its worst finding's severity.
        if (r[9].isNull || r[10].isNull) c.verdictSeverity = r[8].text;
        else if (r[9].text != "0") c.verdictSeverity = "Error";
        else if (r[10].text != "0") c.verdictSeverity = "Warning";
        if (!r[6].isNull) c.collected = std::stoll(r[6].text);
        servers[{r[0].text, r[1].text}].push_back(c);
    }
    for (auto& server : servers)
        std::sort(server.second.begin(), server.second.end(), [](const StoredCollection& a, const StoredCollection& b) {
            return std::tie(a.collected, a.hash) < std::tie(b.collected, b.hash);
        });
    return servers;
}

std::string comparePageName(const std::string& serial, const StoredCollection& newer) {
    return "compare-" + SafeNamePart(serial, 40) + "-" + newer.hash.substr(0, 16) + ".html";
}

}  // namespace

FleetReport BuildFleetReport(SqlConnection& store, const ComparePageSink& comparePage) {
    FleetReport report;
    const Servers servers = loadServers(store);
    using FindingKey = std::tuple<std::string, std::string, std::string>;
    std::map<FindingKey, FleetFindingGroup> findings;
    using VersionKey = std::tuple<std::string, std::string, std::string, std::string>;
    std::map<VersionKey, std::set<std::string> > versions;
    for (const auto& server : servers) {
        const std::string& serial = server.first.first;
        const std::vector<StoredCollection>& collections = server.second;
        report.collectionCount += collections.size();
        const StoredCollection& latest = collections.back();
        FleetServer row{serial,
                        server.first.second,
                        latest.host,
                        latest.file,
                        latest.collected < 0 ? std::string() : latest.collectedShown,
                        latest.verdict,
                        latest.verdictSeverity,
                        collections.size(),
                        std::string()};
        // Each collection read once; a comparison lives only while its page is made.
        CollectionFacts previous;
        for (size_t i = 0; collections.size() > 1 && i < collections.size(); ++i) {
            CollectionFacts current = LoadStoredFacts(store, collections[i].id);
            if (i > 0) {
                FleetCompare compare{comparePageName(serial, collections[i]), serial, collections[i - 1].file,
                                     collections[i].file, std::string()};
                Comparison comparison;
                comparison.oldFile = compare.oldFile;
                comparison.newFile = compare.newFile;
                Compare(std::move(previous), current, &comparison);
                compare.summary = ComparisonSummary(comparison);
                if (comparePage) comparePage(compare, comparison);
                report.compares.push_back(std::move(compare));
            }
            if (i + 1 < collections.size()) previous = std::move(current);
        }
        if (collections.size() > 1) row.latestCompare = report.compares.back().page;
        report.servers.push_back(row);
        // Only what the page shows of the latest collection: not its records.
        for (const SqlRow& f : store
                                   .Query("SELECT severity, category, description, message FROM findings"
                                          " WHERE collection_id = ?",
                                          {SqlValue(latest.id)})
                                   .rows) {
            FleetFindingGroup& group = findings[FindingKey(f[1].text, f[2].text, f[3].text)];
            group.category = f[1].text;
            group.description = f[2].text;
            group.message = f[3].text;
            if (SeverityRank(f[0].text) > SeverityRank(group.severity)) group.severity = f[0].text;
            if (group.servers.empty() || group.servers.back() != serial) group.servers.push_back(serial);
        }
        for (const SqlRow& v :
             store.Query("SELECT kind, name, version FROM versions WHERE collection_id = ?", {SqlValue(latest.id)})
                 .rows)
            if (v[0].text != kPackageKind)
                versions[VersionKey(server.first.second, v[0].text, v[1].text, v[2].text)].insert(serial);
    }
    for (auto& group : findings) report.findings.push_back(std::move(group.second));
    std::stable_sort(report.findings.begin(), report.findings.end(),
                     [](const FleetFindingGroup& a, const FleetFindingGroup& b) {
                         const int ra = SeverityRank(a.severity), rb = SeverityRank(b.severity);
                         if (ra != rb) return ra > rb;
                         return a.servers.size() > b.servers.size();
                     });
    // The most common version of each identity on a type-model; the others stand out.
    std::map<std::tuple<std::string, std::string, std::string>, size_t> most;
    for (const auto& v : versions) {
        size_t& m = most[std::make_tuple(std::get<0>(v.first), std::get<1>(v.first), std::get<2>(v.first))];
        m = std::max(m, v.second.size());
    }
    for (const auto& v : versions) {
        FleetVersion row{std::get<0>(v.first),
                         std::get<1>(v.first),
                         std::get<2>(v.first),
                         std::get<3>(v.first),
                         std::vector<std::string>(v.second.begin(), v.second.end()),
                         false};
        row.outlier = v.second.size() < most[std::make_tuple(row.typeModel, row.kind, row.name)];
        report.versions.push_back(row);
    }
    return report;
}
