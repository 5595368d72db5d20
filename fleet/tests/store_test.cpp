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
    facts.verdict = "Error";
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
                     "the store has schema version 99, newer than this program's 2; use a newer norbix-fleet"},
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

TEST(StoreSchema, AnOlderStoreIsMigratedByAnIngestAndRefusedForReading) {
    testsupport::TempDir dir;
    auto store = OpenSqliteStore(dir.path("s.db"), false, 1);
    PrepareStoreSchema(*store);
    store->Execute("ALTER TABLE parts DROP COLUMN verdict; UPDATE fleet_schema SET version = 1");
    EXPECT_EQ(errorOf([&] { CheckStoreSchema(*store); }),
              "'" + dir.path("s.db") + "': the store has the older schema version 1; an ingest brings it up to date");
    PrepareStoreSchema(*store);
    EXPECT_EQ(single(*store, "SELECT version FROM fleet_schema"), "2");
    EXPECT_EQ(single(*store, "SELECT count(*) FROM pragma_table_info('parts') WHERE name = 'verdict'"), "1");
    EXPECT_EQ(errorOf([&] { CheckStoreSchema(*store); }), "");
}

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
