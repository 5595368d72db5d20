// The fleet report from a store: versions by type-model with their outliers,
// findings grouped across servers, each collection compared with its predecessor.
#include <gtest/gtest.h>

#include "fleet_report.h"
#include "fleet_store.h"
#include "sqlite_connection.h"
#include "store_schema.h"
#include "temp_dir.h"
#include "wyxcore/container.h"

namespace {

CollectionFacts server(const std::string& serial, const std::string& bios, long long at,
                       std::vector<FindingFact> findings = {}) {
    CollectionFacts facts;
    facts.serial = serial;
    facts.typeModel = "8865-1RY";
    facts.verdict = findings.empty() ? "No part failing or with warnings" : "1 part failing";
    facts.partsFailing = findings.empty() ? 0 : 1;
    facts.hasCollectionTime = true;
    facts.collectedUtc = at;
    facts.versions = {{"BIOS", "BIOS", bios}, {"Package", "libc6", "2.36-" + serial}};
    if (!findings.empty()) {
        PartVerdictFact fan;
        fan.kind = "Fan";
        fan.key = "3";
        fan.name = "Fan 3";
        fan.verdict = "Failed";
        fan.evidence = 1;
        facts.partVerdicts = {fan};
    }
    facts.findings = std::move(findings);
    return facts;
}

TEST(FleetReport, VersionsOutliersFindingsAndCompares) {
    testsupport::TempDir dir;
    auto store = OpenSqliteStore(dir.path("s.db"), false, 1);
    PrepareStoreSchema(*store);
    TContainer none(TContainer::kEmpty);
    const FindingFact fan{"Error", "Fan", "Fan missing or failed", "VARNSG_ULKLog", "Fan 3 failed", 1};
    // B's newer collection is stored first: the report orders by collection time.
    ASSERT_TRUE(StoreCollection(*store, "b2.xml", "h-b2", none, server("B", "1.52", 2000, {fan})));
    ASSERT_TRUE(StoreCollection(*store, "b1.xml", "h-b1", none, server("B", "1.40", 1000)));
    ASSERT_TRUE(StoreCollection(*store, "a.xml", "h-a", none, server("A", "1.52", 1500, {fan})));
    ASSERT_TRUE(StoreCollection(*store, "c.xml", "h-c", none, server("C", "1.40", 1500)));
    ASSERT_TRUE(StoreCollection(*store, "d.xml", "h-d", none, server("D", "1.52", 1500)));

    std::vector<Comparison> pages;   // each handed over as made
    const FleetReport report = BuildFleetReport(*store, [&pages](const FleetCompare&, const Comparison& c) {
        pages.push_back(c);
    });
    EXPECT_EQ(report.collectionCount, 5u);
    ASSERT_EQ(report.servers.size(), 4u);
    EXPECT_EQ(report.servers[1].serial, "B");
    EXPECT_EQ(report.servers[1].latestFile, "b2.xml");
    EXPECT_EQ(report.servers[1].verdict, "1 part failing");
    EXPECT_EQ(report.servers[1].verdictSeverity, "Error");
    EXPECT_EQ(report.servers[2].verdictSeverity, "");
    EXPECT_EQ(report.servers[1].collections, 2u);
    EXPECT_FALSE(report.servers[1].latestCompare.empty());
    EXPECT_TRUE(report.servers[0].latestCompare.empty());

    // Packages are left out; the less common BIOS stands out.
    std::vector<std::string> versions;
    for (const FleetVersion& v : report.versions) {
        std::string servers;
        for (const std::string& s : v.servers) servers += s;
        versions.push_back(v.name + " " + v.version + " " + servers + (v.outlier ? " outlier" : ""));
    }
    EXPECT_EQ(versions, (std::vector<std::string>{"BIOS 1.40 C outlier", "BIOS 1.52 ABD"}));

    ASSERT_EQ(report.findings.size(), 1u);
    EXPECT_EQ(report.findings[0].servers, (std::vector<std::string>{"A", "B"}));

    ASSERT_EQ(report.compares.size(), 1u);
    EXPECT_EQ(report.compares[0].oldFile, "b1.xml");
    EXPECT_EQ(report.compares[0].newFile, "b2.xml");
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(report.compares[0].summary, ComparisonSummary(pages[0]));
    ASSERT_EQ(pages[0].findings.size(), 1u);
    EXPECT_EQ(pages[0].findings[0].change, FindingChangeKind::kAppeared);
    // The part verdicts compared are those the store kept.
    ASSERT_EQ(pages[0].verdicts.size(), 1u);
    EXPECT_EQ(pages[0].verdicts[0].change, VerdictChangeKind::kAppeared);
    EXPECT_EQ(pages[0].verdicts[0].after.name, "Fan 3");
}

struct SeverityCase {
    const char* name;
    const char* update;     // SQL run on the stored collection
    const char* severity;   // the server's row colour
};

class VerdictSeverities : public testing::TestWithParam<SeverityCase> {};

TEST_P(VerdictSeverities, FromThePartCountsOrAnOlderStoresVerdict) {
    testsupport::TempDir dir;
    auto store = OpenSqliteStore(dir.path("s.db"), false, 1);
    PrepareStoreSchema(*store);
    TContainer none(TContainer::kEmpty);
    ASSERT_TRUE(StoreCollection(*store, "a.xml", "h-a", none, server("A", "1.52", 1500)));
    store->Execute(GetParam().update);
    const FleetReport report = BuildFleetReport(*store);
    ASSERT_EQ(report.servers.size(), 1u);
    EXPECT_EQ(report.servers[0].verdictSeverity, GetParam().severity);
}

INSTANTIATE_TEST_SUITE_P(
    Table, VerdictSeverities,
    testing::Values(SeverityCase{"clean", "SELECT 1", ""},
                    SeverityCase{"failing", "UPDATE collections SET parts_failing = 2, parts_warnings = 1", "Error"},
                    SeverityCase{"warned", "UPDATE collections SET parts_warnings = 1", "Warning"},
                    // Stored before the parts model: its verdict was the worst finding's severity.
                    SeverityCase{"older_store",
                                 "UPDATE collections SET parts_failing = NULL, parts_warnings = NULL,"
                                 " verdict = 'Warning'",
                                 "Warning"}),
    [](const testing::TestParamInfo<SeverityCase>& info) { return std::string(info.param.name); });

}  // namespace
