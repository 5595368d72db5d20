// The RAS daemon's database, made by the tests with SQLite itself: each table
// decoded, unknown tables and columns ignored, and every broken database a
// problem that costs nothing else.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <fstream>

#include "ras_database.h"
#include "temp_dir.h"

namespace {

void exec(sqlite3* db, const std::string& sql) {
    char* error = nullptr;
    ASSERT_EQ(SQLITE_OK, sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error)) << (error ? error : "") << sql;
}

// A database at path made by the statements; the connection stays open when asked.
sqlite3* make(const std::string& path, const std::string& sql, bool keepOpen = false) {
    sqlite3* db = nullptr;
    EXPECT_EQ(SQLITE_OK, sqlite3_open(path.c_str(), &db));
    exec(db, sql);
    if (keepOpen) return db;
    sqlite3_close(db);
    return nullptr;
}

const char kSchema[] =
    "CREATE TABLE mc_event (id INTEGER PRIMARY KEY, timestamp TEXT, err_count INTEGER, err_type TEXT,"
    " err_msg TEXT, label TEXT, mc INTEGER, top_layer INTEGER, middle_layer INTEGER, lower_layer INTEGER,"
    " address INTEGER, grain INTEGER, syndrome INTEGER, driver_detail TEXT, future_column BLOB);"
    "CREATE TABLE mce_record (id INTEGER PRIMARY KEY, timestamp TEXT, mcgcap INTEGER, mcgstatus INTEGER,"
    " status INTEGER, addr INTEGER, misc INTEGER, ip INTEGER, tsc INTEGER, walltime INTEGER, cpu INTEGER,"
    " cpuid INTEGER, apicid INTEGER, socketid INTEGER, cs INTEGER, bank INTEGER, cpuvendor INTEGER,"
    " bank_name TEXT, error_msg TEXT, mcgstatus_msg TEXT, mcistatus_msg TEXT, mcastatus_msg TEXT,"
    " user_action TEXT, mc_location TEXT);"
    "CREATE TABLE aer_event (id INTEGER PRIMARY KEY, timestamp TEXT, err_type TEXT, err_msg TEXT);"
    "CREATE TABLE disk_errors (id INTEGER PRIMARY KEY, timestamp TEXT, dev TEXT, sector INTEGER,"
    " nr_sector INTEGER, error TEXT, rwbs TEXT, cmd TEXT);"
    "CREATE TABLE devlink_event (id INTEGER PRIMARY KEY, timestamp TEXT, msg TEXT);";

std::string line(const HardwareErrorFacts& r) {
    return r.recordId + "|" + (r.timeKnown ? std::to_string(r.unixSeconds) : "?") + "|" + r.severity + "|" + r.kind +
           "|" + r.component + "|" + r.message;
}

TEST(RasDatabase, EachTableDecodedNewestKeptOldestFirst) {
    testsupport::TempDir dir;
    const std::string path = dir.path("ras.db");
    make(path, std::string(kSchema) +
                   "INSERT INTO mc_event VALUES (1, '2026-12-08 10:00:00 +0100', 3, 'Corrected', 'read error',"
                   " 'CPU_SrcID#0_MC#0_Chan#1_DIMM#0', 0, 1, 0, -1, 0, 64, 0, 'APEI location', x'00ff');"
                   "INSERT INTO mc_event VALUES (2, '2026-12-08 11:00:00 +0000', 1, 'Uncorrected', 'write error',"
                   " NULL, 1, 0, 0, 0, 0, 0, 0, NULL, NULL);"
                   "INSERT INTO mce_record (id, timestamp, status, cpu, bank, bank_name, error_msg, mcistatus_msg)"
                   " VALUES (1, '2026-12-08 09:30:00 -0030', -5764607523034234880, 3, 4, 'Intel IMC',"
                   " 'memory read error', 'Uncorrected error');"
                   "INSERT INTO mce_record (id, timestamp, status, cpu, error_msg, mcistatus_msg)"
                   " VALUES (2, '2026-12-08 09:40:00 +0000', -7205759403792793600, 5, 'cache error', 'Corrected error');"
                   "INSERT INTO aer_event VALUES (7, '2026-12-08 08:00:00 +0000', 'Uncorrected (Fatal)', 'Data Link Protocol');"
                   "INSERT INTO disk_errors VALUES (1, 'yesterday', 'sdb', 2048, 8, 'critical medium error', 'R', '');"
                   "INSERT INTO devlink_event VALUES (1, '2026-12-08 08:00:00 +0000', 'ignored');");
    HealthFacts facts;
    health::ReadRasDatabase(path, facts);
    std::vector<std::string> lines;
    for (const HardwareErrorFacts& r : facts.records) lines.push_back(line(r));
    EXPECT_EQ((std::vector<std::string>{
                  "disk_errors:1|?|Error|Disk|sdb|critical medium error at sector 2048 (8 sectors) R",
                  "aer_event:7|1796716800|Error|PCIe||Uncorrected (Fatal) PCIe error: Data Link Protocol",
                  "mc_event:1|1796720400|Warning|Memory|CPU_SrcID#0_MC#0_Chan#1_DIMM#0|3 Corrected memory error: read "
                  "error APEI location",
                  "mce_record:2|1796722800|Warning|Machine check|CPU 5|cache error Corrected error",
                  "mce_record:1|1796724000|Error|Machine check|CPU 3|memory read error (bank Intel IMC) Uncorrected error",
                  "mc_event:2|1796727600|Error|Memory|mc1|1 Uncorrected memory error: write error",
              }),
              lines);
    EXPECT_TRUE(facts.problems.empty());
    EXPECT_EQ((std::vector<std::string>{"RAS daemon database: 1 records of disk_errors without a readable time"}),
              facts.notes);
    for (const HardwareErrorFacts& r : facts.records) EXPECT_EQ("rasdaemon", r.source);
}

TEST(RasDatabase, BrokenDatabasesAreProblems) {
    testsupport::TempDir dir;
    const struct {
        const char* what;
        std::string sql;          // empty: raw bytes instead
        std::string bytes;
        bool lock;
        std::string problem;      // the start of the one problem; empty: none
        size_t records;
    } cases[] = {
        {"not a database", "", std::string(4096, 'x'), false, "RAS daemon database ", 0},
        {"truncated database", "", std::string("SQLite format 3\0", 16) + std::string(100, '\x01'), false,
         "RAS daemon database ", 0},
        {"unknown layout", "CREATE TABLE something (a, b); INSERT INTO something VALUES (1, 2);", "", false,
         "RAS daemon database %s has none of the tables known (1 tables)", 0},
        {"locked by the daemon", std::string(kSchema) + "INSERT INTO aer_event VALUES (1, '', 'Corrected', 'x');", "",
         true, "RAS daemon database %s locked by another program", 0},
        {"an old table without some columns",
         "CREATE TABLE aer_event (id INTEGER PRIMARY KEY, timestamp TEXT, err_msg TEXT);"
         "INSERT INTO aer_event VALUES (1, '2026-01-01 00:00:00 +0000', 'Receiver Error');",
         "", false, "", 1},
        {"an empty file", "", "", false, "RAS daemon database %s has none of the tables known (0 tables)", 0},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = dir.path("db" + std::to_string(n++));
        sqlite3* holder = nullptr;
        if (!c.sql.empty()) {
            holder = make(path, c.sql, c.lock);
            if (c.lock) exec(holder, "BEGIN EXCLUSIVE; INSERT INTO aer_event VALUES (2, '', 'Fatal', 'y');");
        } else {
            std::ofstream(path, std::ios::binary) << c.bytes;
        }
        HealthFacts facts;
        health::ReadRasDatabase(path, facts);
        if (holder) sqlite3_close(holder);
        EXPECT_EQ(c.records, facts.records.size());
        if (c.problem.empty()) {
            EXPECT_TRUE(facts.problems.empty()) << facts.problems.front();
            continue;
        }
        ASSERT_EQ(1u, facts.problems.size());
        std::string expected = c.problem;
        const size_t at = expected.find("%s");
        if (at != std::string::npos) expected.replace(at, 2, path);
        EXPECT_EQ(expected, facts.problems[0].substr(0, expected.size())) << facts.problems[0];
    }
}

TEST(RasDatabase, OnlyTheNewestTenThousand) {
    testsupport::TempDir dir;
    const std::string path = dir.path("big.db");
    sqlite3* db = make(path, kSchema, true);
    exec(db, "BEGIN");
    sqlite3_stmt* insert = nullptr;
    ASSERT_EQ(SQLITE_OK, sqlite3_prepare_v2(db, "INSERT INTO mc_event (timestamp, err_type, label) VALUES (?, 'Corrected', 'A1')",
                                            -1, &insert, nullptr));
    for (int i = 0; i < 12000; ++i) {
        char stamp[40];
        std::snprintf(stamp, sizeof stamp, "2026-%02d-%02d %02d:%02d:00 +0000", 1 + i / 1440 / 28, 1 + i / 1440 % 28,
                      i / 60 % 24, i % 60);
        sqlite3_bind_text(insert, 1, stamp, -1, SQLITE_TRANSIENT);
        ASSERT_EQ(SQLITE_DONE, sqlite3_step(insert));
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    exec(db, "INSERT INTO mce_record (timestamp, cpu, status) VALUES ('2026-12-31 23:59:59 +0000', 1, 0)");
    exec(db, "COMMIT");
    sqlite3_close(db);
    HealthFacts facts;
    health::ReadRasDatabase(path, facts);
    ASSERT_EQ(health::kRasRecordLimit, facts.records.size());
    EXPECT_EQ("mc_event:2002", facts.records.front().recordId);
    EXPECT_EQ("mce_record:1", facts.records.back().recordId);   // newest of all, last
    EXPECT_EQ((std::vector<std::string>{"RAS daemon database: only the newest 10000 of 10001 records read"}),
              facts.notes);
    // Out of time: a problem, nothing half read.
    HealthFacts late;
    health::ReadRasDatabase(path, late, 0);
    EXPECT_TRUE(late.records.empty());
    ASSERT_EQ(1u, late.problems.size());
    EXPECT_EQ("RAS daemon database " + path + " not read within 0 ms (interrupted)", late.problems[0]);
}

TEST(RasDatabase, Timestamps) {
    const struct {
        const char* text;
        bool ok;
        int64_t seconds;
    } cases[] = {
        {"1970-01-01 00:00:00 +0000", true, 0},
        {"2026-12-08 14:03:11 +0100", true, 1796738591 - 3600},
        {"2026-12-08 14:03:11 -0530", true, 1796738591 + 19800},
        {"2026-02-30 00:00:00 +0000", false, 0},
        {"2026-12-08 24:00:00 +0000", false, 0},
        {"2026-12-08 14:03:11", false, 0},
        {"2026-12-08 14:03:11 +0100 trailing", false, 0},
        {"", false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        int64_t seconds = 0;
        EXPECT_EQ(c.ok, health::RasTimestamp(c.text, &seconds));
        EXPECT_EQ(c.seconds, seconds);
    }
}

}  // namespace
