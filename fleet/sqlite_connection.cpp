#include "sqlite_connection.h"

#include <sqlite3.h>

#include <chrono>
#include <map>
#include <thread>

#include "database_path.h"
#include "fleet_error.h"
#include "private_file.h"

namespace {

class SqliteConnection : public SqlConnection {
public:
    SqliteConnection(const std::string& path, bool readOnly, int busySeconds)
        : path_(path), busySeconds_(busySeconds) {
        if (!readOnly) CreatePrivateFileIfMissing(path);
        const int flags = readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
        if (sqlite3_open_v2(DatabasePath(path).c_str(), &db_, flags | SQLITE_OPEN_NOFOLLOW, nullptr) != SQLITE_OK) {
            const std::string why = db_ ? sqlite3_errmsg(db_) : "out of memory";
            sqlite3_close(db_);
            db_ = nullptr;
            throw FleetError("'" + path + "': cannot open the store: " + why);
        }
        sqlite3_extended_result_codes(db_, 1);
        sqlite3_busy_timeout(db_, busySeconds * 1000);
        // The first read finds out whether the file is a database at all.
        try {
            Execute(readOnly ? "PRAGMA query_only = 1; SELECT count(*) FROM sqlite_master"
                             : "PRAGMA foreign_keys = ON; PRAGMA synchronous = FULL;"
                               " SELECT count(*) FROM sqlite_master");
        } catch (...) {
            close();
            throw;
        }
    }
    ~SqliteConnection() override { close(); }

    const std::string& Name() const override { return path_; }
    const char* Dialect() const override { return "sqlite"; }

    void Execute(const std::string& sql) override {
        std::string text;
        const int rc = untilNotBusy([&] {
            char* message = nullptr;
            const int result = sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &message);
            text = message ? message : "";
            sqlite3_free(message);
            return result;
        });
        if (rc != SQLITE_OK) fail(rc, text);
    }

    SqlResult Query(const std::string& sql, const std::vector<SqlValue>& params) override {
        sqlite3_stmt* statement = prepared(sql);
        bind(statement, params);
        SqlResult result;
        const int columns = sqlite3_column_count(statement);
        for (int i = 0; i < columns; ++i) result.columns.push_back(sqlite3_column_name(statement, i));
        int rc;
        while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
            SqlRow row;
            for (int i = 0; i < columns; ++i) row.push_back(columnValue(statement, i));
            result.rows.push_back(std::move(row));
        }
        sqlite3_reset(statement);
        sqlite3_clear_bindings(statement);
        if (rc != SQLITE_DONE) fail(rc, sqlite3_errmsg(db_));
        return result;
    }

    void Stream(const std::string& sql, const std::function<void(const std::vector<std::string>&)>& columns,
                const std::function<void(const SqlRow&)>& row) override {
        sqlite3_stmt* statement = prepared(sql);
        bind(statement, {});
        const int count = sqlite3_column_count(statement);
        std::vector<std::string> names;
        for (int i = 0; i < count; ++i) names.push_back(sqlite3_column_name(statement, i));
        columns(names);
        int rc;
        SqlRow values(static_cast<size_t>(count));
        while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
            for (int i = 0; i < count; ++i) values[i] = columnValue(statement, i);
            row(values);
        }
        sqlite3_reset(statement);
        if (rc != SQLITE_DONE) fail(rc, sqlite3_errmsg(db_));
    }

    void ExecuteMany(const std::string& sql, const std::vector<std::vector<SqlValue> >& rows) override {
        sqlite3_stmt* statement = prepared(sql);
        for (const auto& row : rows) {
            bind(statement, row);
            const int rc = sqlite3_step(statement);
            sqlite3_reset(statement);
            sqlite3_clear_bindings(statement);
            if (rc != SQLITE_DONE && rc != SQLITE_ROW) fail(rc, sqlite3_errmsg(db_));
        }
    }

    void BeginWrite() override { Execute("BEGIN IMMEDIATE"); }
    void Commit() override { Execute("COMMIT"); }
    void Rollback() noexcept override { sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr); }

private:
    // SQLite answers "busy" at once, without its busy handler, where waiting
    // could deadlock: another process switching a new store to its
    // write-ahead log, a reader meeting a log being recovered. Outside a
    // transaction the statement is simply run again until the wait is over.
    template <typename Step>
    int untilNotBusy(const Step& step) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(busySeconds_);
        for (;;) {
            const int rc = step();
            if ((rc & 0xff) != SQLITE_BUSY || !sqlite3_get_autocommit(db_) ||
                std::chrono::steady_clock::now() >= deadline)
                return rc;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }

    static SqlValue columnValue(sqlite3_stmt* statement, int i) {
        if (sqlite3_column_type(statement, i) == SQLITE_NULL) return SqlValue();
        const unsigned char* text = sqlite3_column_text(statement, i);
        return SqlValue(std::string(reinterpret_cast<const char*>(text),
                                    static_cast<size_t>(sqlite3_column_bytes(statement, i))));
    }

    void close() {
        for (auto& s : statements_) sqlite3_finalize(s.second);
        statements_.clear();
        sqlite3_close(db_);
        db_ = nullptr;
    }

    sqlite3_stmt* prepared(const std::string& sql) {
        auto found = statements_.find(sql);
        if (found != statements_.end()) return found->second;
        sqlite3_stmt* statement = nullptr;
        const char* tail = nullptr;
        const int rc = sqlite3_prepare_v2(db_, sql.c_str(), static_cast<int>(sql.size()), &statement, &tail);
        if (rc != SQLITE_OK) fail(rc, sqlite3_errmsg(db_));
        if (!statement) throw FleetError("'" + path_ + "': the statement is empty");
        if (tail && std::string(tail).find_first_not_of(" \t\r\n;") != std::string::npos) {
            sqlite3_finalize(statement);
            throw FleetError("'" + path_ + "': only one statement at a time");
        }
        statements_[sql] = statement;
        return statement;
    }

    // The texts stay bound, not copied: params outlive the statement's step.
    void bind(sqlite3_stmt* statement, const std::vector<SqlValue>& params) {
        sqlite3_reset(statement);
        sqlite3_clear_bindings(statement);
        if (static_cast<int>(params.size()) != sqlite3_bind_parameter_count(statement))
            throw FleetError("'" + path_ + "': the statement takes " +
                             std::to_string(sqlite3_bind_parameter_count(statement)) + " parameters");
        for (size_t i = 0; i < params.size(); ++i) {
            const int rc = params[i].isNull ? sqlite3_bind_null(statement, static_cast<int>(i + 1))
                                            : sqlite3_bind_text(statement, static_cast<int>(i + 1),
                                                                params[i].text.data(),
                                                                static_cast<int>(params[i].text.size()),
                                                                SQLITE_STATIC);
            if (rc != SQLITE_OK) fail(rc, sqlite3_errmsg(db_));
        }
    }

    [[noreturn]] void fail(int rc, const std::string& text) {
        const int primary = rc & 0xff;
        if (primary == SQLITE_BUSY || primary == SQLITE_LOCKED)
            throw FleetError("'" + path_ + "': the store is locked by another process (waited " +
                             std::to_string(busySeconds_) + " s)");
        if (primary == SQLITE_NOTADB) throw FleetError("'" + path_ + "': not an SQLite database");
        if (primary == SQLITE_READONLY) throw FleetError("'" + path_ + "': the store cannot be written: " + text);
        throw FleetError("'" + path_ + "': " + text);
    }

    std::string path_;
    int busySeconds_;
    sqlite3* db_ = nullptr;
    std::map<std::string, sqlite3_stmt*> statements_;
};

}  // namespace

std::unique_ptr<SqlConnection> OpenSqliteStore(const std::string& path, bool readOnly, int busySeconds) {
    return std::make_unique<SqliteConnection>(path, readOnly, busySeconds);
}
