// The SQLite store: its schema made, migrated and checked, a collection stored
// once and whole, and what the reports read back.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <nlohmann/json.hpp>

#include "fleet_error.h"
#include "fleet_store.h"
#include "query_command.h"
#include "sqlite_connection.h"
#include "store_schema.h"
#include "temp_dir.h"
#include "wyxcore/container.h"

namespace {

// The message of the FleetError the call throws, empty when it throws none.
std::string errorOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const FleetError& e) {
        return e.what();
    }
    return std::string();
}

std::string single(SqlConnection& c, const std::string& sql) { return c.Query(sql).rows.at(0).at(0).text; }

CollectionFacts sampleFacts() {
    CollectionFacts facts;
    facts.serial = "KQ12345";
    facts.typeModel = "8865-1RY";
    facts.host = "srv\xE9";   // code page 1252: stored as UTF-8
    facts.verdict = "1 part failing";
    facts.partsFailing = 1;
    facts.hasCollectionTime = true;
    facts.collectedUtc = 1800000000;
    facts.collectedShown = "2027-01-15 08:00:00 (UTC+00:00)";
    LogRecordFact record;
    record.className = "VARNSG_ULKLog";
    record.log = "ULK";
    record.recordId = "4";
    record.hasTime = true;
    record.utcSeconds = 1799990000;
    record.severity = "Error";
    record.message = std::string("Fan 3 failed\0!", 14);
    facts.records = {record, record};
    facts.records[1].hasTime = false;
    facts.findings = {{"Error", "Fan", "Fan missing or failed", "VARNSG_ULKLog", "Fan 3 failed", 2}};
    facts.parts = {{"DIMM", "A1", "S1", "17179869184", "M393", ""}};
    facts.versions = {{"Firmware", "System BIOS", "1.52"}};
    PartVerdictFact fan;
    fan.kind = "Fan";
    fan.key = "3";
    fan.name = "Fan 3";
    fan.verdict = "Failed";
    fan.hasLatest = true;
    fan.latestUtc = 1799990000;
    fan.latestShown = "2027-01-15 05:13:20 (UTC+00:00)";
    fan.evidence = 2;
    PartVerdictFact cpu;
    cpu.kind = "Processor";
    cpu.key = "0";
    cpu.scheme = "os";
    cpu.name = "Processor CPU0";
    cpu.verdict = "Unknown";
    cpu.evidence = 1;
    facts.partVerdicts = {fan, cpu};
    return facts;
}

struct BadStoreCase {
    const char* name;
    std::function<void(const std::string& path)> make;
    const char* message;   // what the refusal says after the store's name
};

class BadStores : public testing::TestWithParam<BadStoreCase> {};

TEST_P(BadStores, AreRefusedNamingTheStore) {
    testsupport::TempDir dir;
    const std::string path = dir.path("store.db");
    GetParam().make(path);
    const std::string error = errorOf([&] {
        auto store = OpenSqliteStore(path, false, 1);
        PrepareStoreSchema(*store);
    });
    EXPECT_EQ(error, "'" + path + "': " + GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    Table, BadStores,
    testing::Values(
        BadStoreCase{"not_a_database",
                     [](const std::string& p) { std::ofstream(p) << std::string(4096, 'x'); },
                     "not an SQLite database"},
        BadStoreCase{"another_programs_database",
                     [](const std::string& p) { OpenSqliteStore(p, false, 1)->Execute("CREATE TABLE t (a)"); },
                     "the database holds tables but is not a norbix-fleet store"},
        BadStoreCase{"newer_schema",
                     [](const std::string& p) {
                         auto s = OpenSqliteStore(p, false, 1);
                         PrepareStoreSchema(*s);
                         s->Execute("UPDATE fleet_schema SET version = 99");
                     },
                     "the store has schema version 99, newer than this program's 3; use a newer norbix-fleet"},
        BadStoreCase{"damaged_version",
                     [](const std::string& p) {
                         auto s = OpenSqliteStore(p, false, 1);
                         PrepareStoreSchema(*s);
                         s->Execute("DELETE FROM fleet_schema");
                     },
                     "the store's schema version is damaged"},
        BadStoreCase{"version_not_a_number",
                     [](const std::string& p) {
                         auto s = OpenSqliteStore(p, false, 1);
                         PrepareStoreSchema(*s);
                         s->Execute("UPDATE fleet_schema SET version = 'two'");
                     },
                     "the store's schema version is damaged"}),
    [](const testing::TestParamInfo<BadStoreCase>& info) { return std::string(info.param.name); });

// An older store as that version left it: the later steps' columns taken away.
struct MigrationCase {
    const char* name;
    int version;
    std::string undo;   // SQL that takes the store back to that version
};

class StoreMigration : public testing::TestWithParam<MigrationCase> {};

TEST_P(StoreMigration, AnOlderStoreIsMigratedByAnIngestAndRefusedForReading) {
    testsupport::TempDir dir;
    auto store = OpenSqliteStore(dir.path("s.db"), false, 1);
    PrepareStoreSchema(*store);
    TContainer none(TContainer::kEmpty);
    CollectionFacts old = sampleFacts();
    old.verdict = "Error";   // what an older program stored: the worst finding
    old.partVerdicts.clear();
    ASSERT_TRUE(StoreCollection(*store, "old.xml", "h-old", none, old));
    store->Execute(GetParam().undo + "; UPDATE fleet_schema SET version = " +
                   std::to_string(GetParam().version));
    EXPECT_EQ(errorOf([&] { CheckStoreSchema(*store); }),
              "'" + dir.path("s.db") + "': the store has the older schema version " +
                  std::to_string(GetParam().version) + "; an ingest brings it up to date");
    PrepareStoreSchema(*store);
    EXPECT_EQ(single(*store, "SELECT version FROM fleet_schema"), "3");
    EXPECT_EQ(single(*store,
                     "SELECT count(*) FROM pragma_table_info('parts') WHERE name IN ('verdict', 'part_key', 'scheme',"
                     " 'latest_utc', 'latest_shown', 'evidence_count')"),
              "6");
    EXPECT_EQ(errorOf([&] { CheckStoreSchema(*store); }), "");
    // The collection stored before keeps its rows and reads back without the model's counts.
    const CollectionFacts back =
        LoadStoredFacts(*store, single(*store, "SELECT id FROM collections WHERE content_hash = 'h-old'"));
    EXPECT_EQ(back.verdict, "Error");
    EXPECT_EQ(back.partsFailing, 0u);
    EXPECT_EQ(back.parts.size(), 1u);
    EXPECT_TRUE(back.partVerdicts.empty());
    ASSERT_TRUE(StoreCollection(*store, "new.xml", "h-new", none, sampleFacts()));
    EXPECT_EQ(LoadStoredFacts(*store, single(*store, "SELECT id FROM collections WHERE content_hash = 'h-new'"))
                  .partVerdicts.size(),
              2u);
}

const char kUndoThree[] =
    "ALTER TABLE parts DROP COLUMN part_key; ALTER TABLE parts DROP COLUMN scheme;"
    " ALTER TABLE parts DROP COLUMN latest_utc; ALTER TABLE parts DROP COLUMN latest_shown;"
    " ALTER TABLE parts DROP COLUMN evidence_count; ALTER TABLE collections DROP COLUMN parts_failing;"
    " ALTER TABLE collections DROP COLUMN parts_warnings";

INSTANTIATE_TEST_SUITE_P(
    Table, StoreMigration,
    testing::Values(MigrationCase{"from_2", 2, kUndoThree},
                    MigrationCase{"from_1", 1, std::string(kUndoThree) + "; ALTER TABLE parts DROP COLUMN verdict"}),
    [](const testing::TestParamInfo<MigrationCase>& info) { return std::string(info.param.name); });

TEST(StoreCollection, StoredOnceByContentAndReadBackAsIngested) {
    testsupport::TempDir dir;
    auto store = OpenSqliteStore(dir.path("s.db"), false, 1);
    PrepareStoreSchema(*store);
    TContainer container(TContainer::kEmpty);
    const CollectionFacts facts = sampleFacts();
    EXPECT_TRUE(StoreCollection(*store, "a.xml.gz", "hash1", container, facts));
    EXPECT_FALSE(StoreCollection(*store, "renamed.xml.gz", "hash1", container, facts));
    EXPECT_TRUE(StoreCollection(*store, "b.xml.gz", "hash2", container, facts));
    EXPECT_EQ(single(*store, "SELECT count(*) FROM collections"), "2");
    EXPECT_EQ(single(*store, "SELECT count(*) FROM servers"), "1");

    const std::string id = single(*store, "SELECT id FROM collections WHERE content_hash = 'hash1'");
    const CollectionFacts back = LoadStoredFacts(*store, id);
    EXPECT_EQ(back.host, "srv\xC3\xA9");
    EXPECT_EQ(back.serial, facts.serial);
    EXPECT_EQ(back.collectedUtc, facts.collectedUtc);
    ASSERT_EQ(back.records.size(), 2u);
    EXPECT_EQ(back.records[0].message, "Fan 3 failed\xE2\x90\x80!");   // NUL as its control picture
    EXPECT_EQ(back.records[0].utcSeconds, 1799990000);
    EXPECT_FALSE(back.records[1].hasTime);
    ASSERT_EQ(back.findings.size(), 1u);
    EXPECT_EQ(back.findings[0].count, 2u);
    ASSERT_EQ(back.parts.size(), 1u);
    EXPECT_EQ(back.parts[0].size, "17179869184");
    ASSERT_EQ(back.versions.size(), 1u);
    EXPECT_EQ(back.versions[0].version, "1.52");
    // The model's parts beside the inventory's, each read back to its own list.
    EXPECT_EQ(back.verdict, "1 part failing");
    EXPECT_EQ(back.partsFailing, 1u);
    ASSERT_EQ(back.partVerdicts.size(), 2u);
    EXPECT_EQ(back.partVerdicts[0].name, "Fan 3");
    EXPECT_EQ(back.partVerdicts[0].verdict, "Failed");
    EXPECT_EQ(back.partVerdicts[0].latestUtc, 1799990000);
    EXPECT_EQ(back.partVerdicts[0].evidence, 2u);
    EXPECT_EQ(back.partVerdicts[1].scheme, "os");
    EXPECT_FALSE(back.partVerdicts[1].hasLatest);
    EXPECT_EQ(single(*store, "SELECT count(*) FROM parts WHERE verdict IS NOT NULL"), "4");
}

// Every instance is kept as a JSON object of its property texts, whatever bytes they hold.
TEST(StoreCollection, InstancesAsJsonObjectsOfTheirTexts) {
    testsupport::TempDir dir;
    auto store = OpenSqliteStore(dir.path("s.db"), false, 1);
    PrepareStoreSchema(*store);
    TContainer container(TContainer::kEmpty);
    TCIMClass* cimClass = container.AddClass("VARNSG_Odd");
    cimClass->DeclareProperty("Text", kCIMString);
    cimClass->DeclareProperty(TCIMPropertyDecl("List", kCIMString, true));
    TCIMInstance* instance = new TCIMInstance(cimClass);
    instance->SetPropertyValue("Text", TCIMValue(std::string("q\"b\\s\x01\n\xE9", 8)));
    instance->SetPropertyValue("List", TCIMValue::Array(kCIMString, {"a", "b,c"}));
    instance->Commit();
    ASSERT_TRUE(StoreCollection(*store, "a.xml", "h", container, sampleFacts()));
    const nlohmann::json properties = nlohmann::json::parse(single(*store, "SELECT properties FROM instances"));
    EXPECT_EQ(properties["Text"], "q\"b\\s\x01\n\xC3\xA9");
    EXPECT_EQ(properties["List"], nlohmann::json::array({"a", "b,c"}));
}

TEST(StoreCollection, AFailurePartWayStoresNothing) {
    testsupport::TempDir dir;
    auto store = OpenSqliteStore(dir.path("s.db"), false, 1);
    PrepareStoreSchema(*store);
    store->Execute("DROP TABLE versions");   // the last insert of a collection fails
    TContainer container(TContainer::kEmpty);
    EXPECT_NE(errorOf([&] { StoreCollection(*store, "a.xml", "h", container, sampleFacts()); }), "");
    for (const char* table : {"servers", "collections", "log_records", "findings", "parts"})
        EXPECT_EQ(single(*store, std::string("SELECT count(*) FROM ") + table), "0") << table;
}

TEST(StoreLocks, AWriterHeldBeyondTheWaitIsReportedAsLocked) {
    testsupport::TempDir dir;
    auto holder = OpenSqliteStore(dir.path("s.db"), false, 1);
    PrepareStoreSchema(*holder);
    holder->BeginWrite();
    auto second = OpenSqliteStore(dir.path("s.db"), false, 1);
    EXPECT_EQ(errorOf([&] { PrepareStoreSchema(*second); }),
              "'" + dir.path("s.db") + "': the store is locked by another process (waited 1 s)");
    holder->Rollback();
    EXPECT_EQ(errorOf([&] { PrepareStoreSchema(*second); }), "");
}

TEST(StoreReadOnly, NothingIsWrittenThroughAReadOnlyStore) {
    testsupport::TempDir dir;
    PrepareStoreSchema(*OpenSqliteStore(dir.path("s.db"), false, 1));
    auto reader = OpenSqliteStore(dir.path("s.db"), true, 1);
    EXPECT_NE(errorOf([&] { reader->Query("DELETE FROM servers"); }), "");
    EXPECT_NE(errorOf([&] { reader->Query("SELECT 1; DELETE FROM servers"); }), "");
    EXPECT_NE(errorOf([&] { OpenSqliteStore(dir.path("missing.db"), true, 1); }), "");
}

struct CsvCase {
    SqlValue value;
    const char* field;
};

class CsvFields : public testing::TestWithParam<CsvCase> {};

TEST_P(CsvFields, QuotedOnlyWhereNeeded) { EXPECT_EQ(CsvField(GetParam().value), GetParam().field); }

INSTANTIATE_TEST_SUITE_P(Table, CsvFields,
                         testing::Values(CsvCase{SqlValue(), ""}, CsvCase{SqlValue(""), ""},
                                         CsvCase{SqlValue("plain text"), "plain text"},
                                         CsvCase{SqlValue("a,b"), "\"a,b\""},
                                         CsvCase{SqlValue("say \"hi\""), "\"say \"\"hi\"\"\""},
                                         CsvCase{SqlValue("two\nlines"), "\"two\nlines\""},
                                         CsvCase{SqlValue("cr\r"), "\"cr\r\""}));

}  // namespace
