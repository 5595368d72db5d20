#include <libpq-fe.h>

#include <string>

#include "fleet_error.h"
#include "store_open.h"

namespace {

// One key for the store's write lock: writers queue on it, readers never take it.
const char kWriteLock[] = "SELECT pg_advisory_xact_lock(7244101)";
// Parameters in one statement of a batch, well under the protocol's 65535.
const size_t kBatchParameters = 30000;

// The address without its password, for every message.
std::string withoutPassword(const std::string& address) {
    const size_t scheme = address.find("://");
    if (scheme == std::string::npos) return address;
    const size_t at = address.find('@', scheme + 3);
    const size_t colon = address.find(':', scheme + 3);
    if (at == std::string::npos || colon == std::string::npos || colon > at) return address;
    return address.substr(0, colon + 1) + "***" + address.substr(at);
}

std::string firstLine(const char* text) {
    std::string line = text ? text : "";
    const size_t end = line.find('\n');
    if (end != std::string::npos) line.erase(end);
    return line;
}

// '?' marks as PostgreSQL's $1, $2, ... (the program's statements hold no '?' in literals).
std::string numbered(const std::string& sql, size_t first = 1) {
    std::string out;
    size_t n = first;
    for (char c : sql) {
        if (c == '?')
            out += "$" + std::to_string(n++);
        else
            out += c;
    }
    return out;
}

class PostgresConnection : public SqlConnection {
public:
    PostgresConnection(const std::string& address, bool readOnly, int waitSeconds) : name_(withoutPassword(address)) {
        const std::string timeout = std::to_string(waitSeconds < 2 ? 2 : waitSeconds);
        const char* keys[] = {"dbname", "connect_timeout", "client_encoding", "application_name", nullptr};
        const char* values[] = {address.c_str(), timeout.c_str(), "UTF8", "norbix-fleet", nullptr};
        conn_ = PQconnectdbParams(keys, values, 1);
        if (!conn_ || PQstatus(conn_) != CONNECTION_OK)
            throw FleetError("'" + name_ + "': cannot connect to the PostgreSQL server: " +
                             firstLine(conn_ ? PQerrorMessage(conn_) : "out of memory"));
        Execute("SET lock_timeout = '" + timeout + "s'; SET client_min_messages = warning");
        if (readOnly) Execute("SET default_transaction_read_only = on");
    }
    ~PostgresConnection() override { PQfinish(conn_); }

    const std::string& Name() const override { return name_; }
    const char* Dialect() const override { return "postgresql"; }

    void Execute(const std::string& sql) override { check(PQexec(conn_, sql.c_str())); }

    SqlResult Query(const std::string& sql, const std::vector<SqlValue>& params) override {
        std::vector<const char*> values;
        for (const SqlValue& p : params) values.push_back(p.isNull ? nullptr : p.text.c_str());
        // A statement of the user (query) keeps its text as given.
        const std::string text = params.empty() ? sql : numbered(sql);
        PGresult* result = PQexecParams(conn_, text.c_str(), static_cast<int>(values.size()), nullptr, values.data(),
                                        nullptr, nullptr, 0);
        check(result, false);
        SqlResult out;
        const int columns = PQnfields(result), rows = PQntuples(result);
        for (int c = 0; c < columns; ++c) out.columns.push_back(PQfname(result, c));
        for (int r = 0; r < rows; ++r) {
            SqlRow row;
            for (int c = 0; c < columns; ++c) {
                if (PQgetisnull(result, r, c))
                    row.emplace_back();
                else
                    row.emplace_back(
                        std::string(PQgetvalue(result, r, c), static_cast<size_t>(PQgetlength(result, r, c))));
            }
            out.rows.push_back(std::move(row));
        }
        PQclear(result);
        return out;
    }

    // An insert of many rows goes as a few statements of many rows each: one
    // round trip per batch, not per row.
    void ExecuteMany(const std::string& sql, const std::vector<std::vector<SqlValue> >& rows) override {
        if (rows.empty()) return;
        const size_t values = sql.rfind("VALUES (");
        const size_t width = rows[0].size();
        if (values == std::string::npos || width == 0) {
            for (const auto& row : rows) Query(sql, row);
            return;
        }
        const std::string head = sql.substr(0, values + 7);
        const std::string tuple = sql.substr(values + 7);
        const size_t perBatch = std::max<size_t>(1, kBatchParameters / width);
        for (size_t first = 0; first < rows.size(); first += perBatch) {
            const size_t count = std::min(perBatch, rows.size() - first);
            std::string statement = head;
            std::vector<SqlValue> params;
            params.reserve(count * width);
            for (size_t i = 0; i < count; ++i) {
                statement += (i ? ", " : "") + tuple;
                params.insert(params.end(), rows[first + i].begin(), rows[first + i].end());
            }
            Query(statement, params);
        }
    }

    void BeginWrite() override {
        Execute("BEGIN");
        Execute(kWriteLock);
    }
    void Commit() override { Execute("COMMIT"); }
    void Rollback() noexcept override { PQclear(PQexec(conn_, "ROLLBACK")); }

private:
    void check(PGresult* result, bool clear = true) {
        const ExecStatusType status = result ? PQresultStatus(result) : PGRES_FATAL_ERROR;
        if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK) {
            if (clear) PQclear(result);
            return;
        }
        const std::string state =
            result && PQresultErrorField(result, PG_DIAG_SQLSTATE) ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : "";
        const std::string message = firstLine(result ? PQresultErrorMessage(result) : PQerrorMessage(conn_));
        PQclear(result);
        if (state == "55P03") throw FleetError("'" + name_ + "': the store is locked by another process");
        if (PQstatus(conn_) != CONNECTION_OK)
            throw FleetError("'" + name_ + "': the connection to the PostgreSQL server was lost: " + message);
        throw FleetError("'" + name_ + "': " + message);
    }

    std::string name_;
    PGconn* conn_ = nullptr;
};

}  // namespace

std::unique_ptr<SqlConnection> OpenPostgresStore(const std::string& address, bool readOnly, int waitSeconds) {
    return std::make_unique<PostgresConnection>(address, readOnly, waitSeconds);
}
