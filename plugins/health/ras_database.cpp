// The RAS daemon's SQLite database, read-only.
#include "ras_database.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>

#include "counter_text.h"
#include "wyxcore/calendar.h"

namespace health {

namespace {

const size_t kFieldLimit = 1024;

struct Closer {
    void operator()(sqlite3* db) const { sqlite3_close(db); }
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using Database = std::unique_ptr<sqlite3, Closer>;
using Statement = std::unique_ptr<sqlite3_stmt, Closer>;

// One row: its columns by name, as text (absent: not in the table or NULL).
using Row = std::map<std::string, std::string>;

std::string field(const Row& row, const char* name) {
    const auto found = row.find(name);
    return found == row.end() ? std::string() : found->second;
}

std::string joined(std::initializer_list<std::string> parts, const char* separator = " ") {
    std::string out;
    for (const std::string& part : parts) {
        if (part.empty()) continue;
        if (!out.empty()) out += separator;
        out += part;
    }
    return out;
}

// The severity a corrected/uncorrected/fatal text states.
std::string severityOf(const std::string& type) {
    std::string lower(type);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    if (lower.find("non-fatal") != std::string::npos) return "Warning";
    if (lower.find("fatal") != std::string::npos || lower.find("uncorrected") != std::string::npos) return "Error";
    if (lower.find("corrected") != std::string::npos) return "Warning";
    if (lower.find("info") != std::string::npos) return "Info";
    return "Warning";
}

void memoryEvent(const Row& row, HardwareErrorFacts& record) {
    record.kind = "Memory";
    const std::string type = field(row, "err_type");
    record.severity = severityOf(type);
    record.component = field(row, "label");
    if (record.component.empty() && !field(row, "mc").empty()) record.component = "mc" + field(row, "mc");
    record.message =
        joined({field(row, "err_count"), type, "memory error:", field(row, "err_msg"), field(row, "driver_detail")});
}

void machineCheck(const Row& row, HardwareErrorFacts& record) {
    record.kind = "Machine check";
    record.component = field(row, "cpu").empty() ? std::string() : "CPU " + field(row, "cpu");
    // Bit 61 of the bank's status register: uncorrected.
    const std::string status = field(row, "status");
    if (!status.empty() && status.find_first_not_of("-0123456789") == std::string::npos)
        record.severity =
            (static_cast<uint64_t>(std::strtoll(status.c_str(), nullptr, 10)) >> 61) & 1 ? "Error" : "Warning";
    else
        record.severity = severityOf(field(row, "mcistatus_msg"));
    const std::string bank = field(row, "bank_name").empty() ? field(row, "bank") : field(row, "bank_name");
    record.message = joined({field(row, "error_msg"), bank.empty() ? "" : "(bank " + bank + ")",
                             field(row, "mcistatus_msg"), field(row, "mc_location"), field(row, "user_action")});
}

void aerEvent(const Row& row, HardwareErrorFacts& record) {
    record.kind = "PCIe";
    record.component = field(row, "dev_name");
    const std::string type = field(row, "err_type");
    record.severity = severityOf(type);
    record.message = joined({type, "PCIe error:", field(row, "err_msg")});
}

void diskError(const Row& row, HardwareErrorFacts& record) {
    record.kind = "Disk";
    record.component = field(row, "dev");
    record.severity = "Error";
    record.message =
        joined({field(row, "error"), field(row, "sector").empty() ? "" : "at sector " + field(row, "sector"),
                field(row, "nr_sector").empty() ? "" : "(" + field(row, "nr_sector") + " sectors)", field(row, "rwbs"),
                field(row, "cmd")});
}

const struct Table {
    const char* name;
    void (*decode)(const Row&, HardwareErrorFacts&);
    std::vector<const char*> columns;
} kTables[] = {
    {"mc_event", memoryEvent, {"err_count", "err_type", "err_msg", "label", "mc", "driver_detail"}},
    {"mce_record",
     machineCheck,
     {"status", "cpu", "bank", "bank_name", "error_msg", "mcistatus_msg", "user_action", "mc_location"}},
    {"aer_event", aerEvent, {"dev_name", "err_type", "err_msg"}},
    {"disk_errors", diskError, {"dev", "sector", "nr_sector", "error", "rwbs", "cmd"}},
};

std::string quotedName(const std::string& name) { return "\"" + name + "\""; }

class Reader {
public:
    Reader(sqlite3* db, const std::string& path, unsigned timeMillis, HealthFacts& facts)
        : db_(db), path_(path), timeMillis_(timeMillis), facts_(facts) {}

    // False (and a problem) when the statement fails.
    bool run(const std::string& sql, const std::function<void(sqlite3_stmt*)>& each) {
        sqlite3_stmt* raw = nullptr;
        int rc = sqlite3_prepare_v2(db_, sql.c_str(), -1, &raw, nullptr);
        Statement statement(raw);
        while (rc == SQLITE_OK || rc == SQLITE_ROW) {
            rc = sqlite3_step(statement.get());
            if (rc == SQLITE_ROW) each(statement.get());
        }
        if (rc == SQLITE_DONE) return true;
        failed(rc);
        return false;
    }

    void failed(int rc) {
        const int code = rc & 0xFF;
        std::string what;
        if (code == SQLITE_BUSY || code == SQLITE_LOCKED)
            what = "locked by another program";
        else if (code == SQLITE_NOTADB || code == SQLITE_CORRUPT)
            what = "corrupt or not a database";
        else if (code == SQLITE_INTERRUPT)
            what = "not read within " + std::to_string(timeMillis_) + " ms";
        else
            what = "not readable";
        facts_.problems.push_back("RAS daemon database " + path_ + " " + what + " (" + sqlite3_errmsg(db_) + ")");
    }

private:
    sqlite3* db_;
    std::string path_;
    unsigned timeMillis_;
    HealthFacts& facts_;
};

std::string text(sqlite3_stmt* statement, int column) {
    const unsigned char* value = sqlite3_column_text(statement, column);
    if (!value) return std::string();
    const size_t length = static_cast<size_t>(sqlite3_column_bytes(statement, column));
    return std::string(reinterpret_cast<const char*>(value), std::min(length, kFieldLimit));
}

}  // namespace

bool RasTimestamp(const std::string& text, int64_t* unixSeconds) {
    int year, month, day, hour, minute, second, consumed = 0;
    char sign = '+';
    unsigned zone = 0;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2d %2d:%2d:%2d %c%4u%n", &year, &month, &day, &hour, &minute, &second,
                    &sign, &zone, &consumed) != 8 ||
        static_cast<size_t>(consumed) != text.size() || (sign != '+' && sign != '-'))
        return false;
    if (!calendar::IsDate(year, month, day) || hour > 23 || minute > 59 || second > 60 || zone / 100 > 14 ||
        zone % 100 > 59)
        return false;
    const int64_t offset = static_cast<int64_t>(zone / 100 * 3600 + zone % 100 * 60) * (sign == '-' ? -1 : 1);
    *unixSeconds = calendar::DaysFromCivil(year, month, day) * 86400 + hour * 3600 + minute * 60 + second - offset;
    return true;
}

void ReadRasDatabase(const std::string& path, HealthFacts& facts, unsigned timeMillis) {
    sqlite3* raw = nullptr;
    const int opened = sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
    Database db(raw);
    if (opened != SQLITE_OK) {
        facts.problems.push_back("RAS daemon database " + path + " cannot be opened (" +
                                 (raw ? sqlite3_errmsg(raw) : sqlite3_errstr(opened)) + ")");
        return;
    }
    sqlite3_busy_timeout(db.get(), kRasBusyMillis);
    // A huge or pathological file costs no more than this time and a small cache.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeMillis);
    sqlite3_progress_handler(
        db.get(), 1000,
        [](void* until) {
            return std::chrono::steady_clock::now() > *static_cast<std::chrono::steady_clock::time_point*>(until) ? 1
                                                                                                                  : 0;
        },
        const_cast<std::chrono::steady_clock::time_point*>(&deadline));
    sqlite3_exec(db.get(), "PRAGMA cache_size=-8000", nullptr, nullptr, nullptr);
    Reader reader(db.get(), path, timeMillis, facts);

    std::vector<std::string> present;
    if (!reader.run("SELECT name FROM sqlite_master WHERE type='table'",
                    [&](sqlite3_stmt* s) { present.push_back(text(s, 0)); }))
        return;
    struct Found {
        int64_t time;
        bool timed;
        size_t order;
        HardwareErrorFacts record;
    };
    std::vector<Found> found;
    bool known = false;
    for (const Table& table : kTables) {
        if (std::find(present.begin(), present.end(), table.name) == present.end()) continue;
        known = true;
        std::vector<std::string> columns;
        if (!reader.run(std::string("PRAGMA table_info(") + table.name + ")",
                        [&](sqlite3_stmt* s) { columns.push_back(text(s, 1)); }))
            return;
        const auto has = [&](const std::string& name) {
            return std::find(columns.begin(), columns.end(), name) != columns.end();
        };
        std::vector<std::string> wanted;
        for (const char* column : table.columns)
            if (has(column)) wanted.push_back(column);
        std::string sql = "SELECT rowid, " + std::string(has("timestamp") ? "timestamp" : "NULL");
        for (const std::string& column : wanted) sql += ", " + quotedName(column);
        sql += " FROM " + quotedName(table.name) + " ORDER BY rowid DESC LIMIT " + std::to_string(kRasRecordLimit);
        size_t badTimes = 0;
        if (!reader.run(sql, [&](sqlite3_stmt* s) {
                Row row;
                for (size_t i = 0; i < wanted.size(); ++i)
                    if (sqlite3_column_type(s, static_cast<int>(i) + 2) != SQLITE_NULL)
                        row[wanted[i]] = text(s, static_cast<int>(i) + 2);
                Found one{0, false, found.size(), HardwareErrorFacts()};
                one.record.source = "rasdaemon";
                one.record.recordId = std::string(table.name) + ":" + text(s, 0);
                const std::string stamp = text(s, 1);
                one.timed = RasTimestamp(stamp, &one.time);
                if (!one.timed) ++badTimes;
                one.record.timeKnown = one.timed;
                one.record.unixSeconds = one.time;
                table.decode(row, one.record);
                found.push_back(std::move(one));
            }))
            return;
        if (badTimes)
            facts.notes.push_back("RAS daemon database: " + std::to_string(badTimes) + " records of " + table.name +
                                  " without a readable time");
    }
    if (!known) {
        facts.problems.push_back("RAS daemon database " + path + " has none of the tables known (" +
                                 std::to_string(present.size()) + " tables)");
        return;
    }
    // The newest over all tables, then oldest first as the other logs are.
    std::stable_sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
        if (a.timed != b.timed) return a.timed;
        return a.timed && a.time > b.time;
    });
    if (found.size() > kRasRecordLimit) {
        facts.notes.push_back("RAS daemon database: only the newest " + std::to_string(kRasRecordLimit) + " of " +
                              std::to_string(found.size()) + " records read");
        found.resize(kRasRecordLimit);
    }
    for (auto it = found.rbegin(); it != found.rend(); ++it) facts.records.push_back(std::move(it->record));
}

}  // namespace health
