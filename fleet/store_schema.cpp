#include "store_schema.h"

#include <string>

#include "fleet_error.h"

const int kStoreSchemaVersion = 3;

namespace {

// The schema, one step a version. "{id}" is the dialect's key column made by
// the database; every other type is written alike for both.
const char* const kSteps[] = {
    // 1: the collections, their servers, and what the reports use of each.
    "CREATE TABLE servers (id {id}, serial TEXT NOT NULL, type_model TEXT NOT NULL, UNIQUE (serial, type_model));"
    "CREATE TABLE collections (id {id}, server_id BIGINT NOT NULL REFERENCES servers (id),"
    " content_hash TEXT NOT NULL UNIQUE, file_name TEXT NOT NULL, host TEXT NOT NULL, manufacturer TEXT NOT NULL,"
    " model TEXT NOT NULL, collected_utc BIGINT, collected_shown TEXT, verdict TEXT NOT NULL);"
    "CREATE INDEX collections_server ON collections (server_id, collected_utc);"
    "CREATE TABLE instances (collection_id BIGINT NOT NULL REFERENCES collections (id) ON DELETE CASCADE,"
    " class_name TEXT NOT NULL, position INTEGER NOT NULL, properties TEXT NOT NULL);"
    "CREATE INDEX instances_collection ON instances (collection_id);"
    "CREATE TABLE log_records (collection_id BIGINT NOT NULL REFERENCES collections (id) ON DELETE CASCADE,"
    " position INTEGER NOT NULL, class_name TEXT NOT NULL, log TEXT NOT NULL, record_id TEXT NOT NULL,"
    " utc_seconds BIGINT, shown_time TEXT, severity TEXT NOT NULL, message TEXT NOT NULL);"
    "CREATE INDEX log_records_collection ON log_records (collection_id, position);"
    "CREATE TABLE findings (collection_id BIGINT NOT NULL REFERENCES collections (id) ON DELETE CASCADE,"
    " position INTEGER NOT NULL, severity TEXT NOT NULL, category TEXT NOT NULL, description TEXT NOT NULL,"
    " source_class TEXT NOT NULL, message TEXT NOT NULL, record_count BIGINT NOT NULL);"
    "CREATE INDEX findings_collection ON findings (collection_id, position);"
    "CREATE TABLE parts (collection_id BIGINT NOT NULL REFERENCES collections (id) ON DELETE CASCADE,"
    " position INTEGER NOT NULL, kind TEXT NOT NULL, location TEXT NOT NULL, serial TEXT NOT NULL,"
    " size TEXT NOT NULL, name TEXT NOT NULL, firmware TEXT NOT NULL);"
    "CREATE INDEX parts_collection ON parts (collection_id, position);"
    "CREATE TABLE versions (collection_id BIGINT NOT NULL REFERENCES collections (id) ON DELETE CASCADE,"
    " position INTEGER NOT NULL, kind TEXT NOT NULL, name TEXT NOT NULL, version TEXT NOT NULL);"
    "CREATE INDEX versions_collection ON versions (collection_id, position);",
    // 2: a part's verdict, where the collection gives one.
    "ALTER TABLE parts ADD COLUMN verdict TEXT;",
    // 3: the report model's parts. A row with a verdict is one of them, named by
    // the model (kind, part_key, scheme), beside the inventory's rows (verdict
    // NULL); the collection's verdict is the model's headline, its counts beside it.
    "ALTER TABLE parts ADD COLUMN part_key TEXT;"
    "ALTER TABLE parts ADD COLUMN scheme TEXT;"
    "ALTER TABLE parts ADD COLUMN latest_utc BIGINT;"
    "ALTER TABLE parts ADD COLUMN latest_shown TEXT;"
    "ALTER TABLE parts ADD COLUMN evidence_count BIGINT;"
    "ALTER TABLE collections ADD COLUMN parts_failing BIGINT;"
    "ALTER TABLE collections ADD COLUMN parts_warnings BIGINT;",
};
const int kStepCount = sizeof kSteps / sizeof kSteps[0];
static_assert(kStepCount == 3, "one step per schema version");

std::string dialectOf(const SqlConnection& c, std::string sql) {
    const std::string id = std::string(c.Dialect()) == "sqlite" ? "INTEGER PRIMARY KEY"
                                                                : "BIGINT GENERATED ALWAYS AS IDENTITY PRIMARY KEY";
    for (size_t at; (at = sql.find("{id}")) != std::string::npos;) sql.replace(at, 4, id);
    return sql;
}

bool hasTable(SqlConnection& c, const char* name) {
    const char* sql = std::string(c.Dialect()) == "sqlite"
                          ? "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?"
                          : "SELECT 1 FROM information_schema.tables WHERE table_schema = current_schema() AND "
                            "table_name = ?";
    return !c.Query(sql, {SqlValue(name)}).rows.empty();
}

bool hasAnyTable(SqlConnection& c) {
    const char* sql = std::string(c.Dialect()) == "sqlite"
                          ? "SELECT 1 FROM sqlite_master WHERE type = 'table'"
                          : "SELECT 1 FROM information_schema.tables WHERE table_schema = current_schema()";
    return !c.Query(sql).rows.empty();
}

// -1: no store at all (an empty database).
int versionOf(SqlConnection& c) {
    if (!hasTable(c, "fleet_schema")) {
        if (hasAnyTable(c))
            throw FleetError("'" + c.Name() + "': the database holds tables but is not a norbix-fleet store");
        return -1;
    }
    const SqlResult result = c.Query("SELECT version FROM fleet_schema");
    if (result.rows.size() != 1 || result.rows[0][0].isNull)
        throw FleetError("'" + c.Name() + "': the store's schema version is damaged");
    const std::string& text = result.rows[0][0].text;
    if (text.empty() || text.size() > 6 || text.find_first_not_of("0123456789") != std::string::npos)
        throw FleetError("'" + c.Name() + "': the store's schema version is damaged");
    return std::stoi(text);
}

void refuseNewer(const SqlConnection& c, int version) {
    if (version > kStoreSchemaVersion)
        throw FleetError("'" + c.Name() + "': the store has schema version " + std::to_string(version) +
                         ", newer than this program's " + std::to_string(kStoreSchemaVersion) +
                         "; use a newer norbix-fleet");
}

}  // namespace

void PrepareStoreSchema(SqlConnection& c) {
    WriteTransaction transaction(c);
    int version = versionOf(c);
    refuseNewer(c, version);
    if (version == kStoreSchemaVersion) return;  // nothing written: the rollback ends it
    if (version < 0 && std::string(c.Dialect()) == "sqlite" &&
        c.Query("PRAGMA journal_mode").rows.at(0).at(0).text != "wal") {
        // A new store keeps a write-ahead log: one flush per stored collection
        // instead of three, and readers that never wait for a writer. Set on
        // the empty file only, so another program's database is never touched.
        transaction.Rollback();
        c.Execute("PRAGMA journal_mode = WAL");
        return PrepareStoreSchema(c);
    }
    if (version < 0) {
        c.Execute("CREATE TABLE fleet_schema (version INTEGER NOT NULL)");
        c.Query("INSERT INTO fleet_schema (version) VALUES (0)");
        version = 0;
    }
    for (int step = version; step < kStepCount; ++step) c.Execute(dialectOf(c, kSteps[step]));
    c.Query("UPDATE fleet_schema SET version = ?", {SqlValue::Number(kStoreSchemaVersion)});
    transaction.Commit();
}

void CheckStoreSchema(SqlConnection& c) {
    const int version = versionOf(c);
    if (version < 0) throw FleetError("'" + c.Name() + "': the store is empty: ingest collections first");
    refuseNewer(c, version);
    if (version < kStoreSchemaVersion)
        throw FleetError("'" + c.Name() + "': the store has the older schema version " + std::to_string(version) +
                         "; an ingest brings it up to date");
}
