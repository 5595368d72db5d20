#include <libpq-fe.h>

#include <string>

#include "fleet_error.h"
#include "store_open.h"

namespace {

// One key for the store's write lock: writers queue on it, readers never take it.
const char kWriteLock[] = "SELECT pg_advisory_xact_lock(7244101)";
// Bytes of rows handed to the connection at a time.
const size_t kCopyChunk = 1 << 20;

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

// A field of COPY's text format.
void appendCopyField(const SqlValue& value, std::string* out) {
    if (value.isNull) {
        *out += "\\N";
        return;
    }
    for (char c : value.text) {
        switch (c) {
        case '\\': *out += "\\\\"; break;
        case '\t': *out += "\\t"; break;
        case '\n': *out += "\\n"; break;
        case '\r': *out += "\\r"; break;
        default: *out += c;
        }
    }
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
        for (int r = 0; r < rows; ++r) out.rows.push_back(rowOf(result, r));
        PQclear(result);
        return out;
    }

    // Row by row from the server (single-row mode): a result of any size
    // never sits whole in memory.
    void Stream(const std::string& sql, const std::function<void(const std::vector<std::string>&)>& columns,
                const std::function<void(const SqlRow&)>& row) override {
        if (!PQsendQueryParams(conn_, sql.c_str(), 0, nullptr, nullptr, nullptr, nullptr, 0)) check(nullptr);
        PQsetSingleRowMode(conn_);
        bool named = false;
        std::string failure;
        while (PGresult* result = PQgetResult(conn_)) {
            const ExecStatusType status = PQresultStatus(result);
            if (failure.empty() && (status == PGRES_SINGLE_TUPLE || status == PGRES_TUPLES_OK ||
                                    status == PGRES_COMMAND_OK)) {
                try {
                    if (!named) {
                        std::vector<std::string> names;
                        for (int c = 0; c < PQnfields(result); ++c) names.push_back(PQfname(result, c));
                        columns(names);
                        named = true;
                    }
                    for (int r = 0; r < PQntuples(result); ++r) row(rowOf(result, r));
                } catch (...) {
                    PQclear(result);
                    while (PGresult* rest = PQgetResult(conn_)) PQclear(rest);
                    throw;
                }
            } else if (failure.empty()) {
                failure = firstLine(PQresultErrorMessage(result));
            }
            PQclear(result);
        }
        if (!failure.empty()) throw FleetError("'" + name_ + "': " + failure);
    }

    // An insert of many rows goes as one COPY: the server parses no statement
    // per row, and the rows travel in one stream.
    void ExecuteMany(const std::string& sql, const std::vector<std::vector<SqlValue> >& rows) override {
        if (rows.empty()) return;
        const std::string insert = "INSERT INTO ";
        const size_t values = sql.find(" VALUES (");
        if (sql.compare(0, insert.size(), insert) != 0 || values == std::string::npos) {
            for (const auto& row : rows) Query(sql, row);
            return;
        }
        check(PQexec(conn_, ("COPY " + sql.substr(insert.size(), values - insert.size()) + " FROM STDIN").c_str()),
              true, PGRES_COPY_IN);
        std::string chunk;
        for (const auto& row : rows) {
            for (size_t i = 0; i < row.size(); ++i) {
                if (i) chunk += '\t';
                appendCopyField(row[i], &chunk);
            }
            chunk += '\n';
            if (chunk.size() >= kCopyChunk) {
                sendCopy(chunk);
                chunk.clear();
            }
        }
        if (!chunk.empty()) sendCopy(chunk);
        if (PQputCopyEnd(conn_, nullptr) != 1) check(nullptr);
        check(PQgetResult(conn_));
        while (PGresult* rest = PQgetResult(conn_)) PQclear(rest);
    }

    // One round trip: the transaction and its lock.
    void BeginWrite() override { Execute(std::string("BEGIN; ") + kWriteLock); }
    void Commit() override { Execute("COMMIT"); }
    void Rollback() noexcept override { PQclear(PQexec(conn_, "ROLLBACK")); }

private:
    static SqlRow rowOf(PGresult* result, int r) {
        SqlRow row;
        for (int c = 0; c < PQnfields(result); ++c) {
            if (PQgetisnull(result, r, c))
                row.emplace_back();
            else
                row.emplace_back(std::string(PQgetvalue(result, r, c), static_cast<size_t>(PQgetlength(result, r, c))));
        }
        return row;
    }

    void sendCopy(const std::string& chunk) {
        if (PQputCopyData(conn_, chunk.data(), static_cast<int>(chunk.size())) != 1) {
            PQputCopyEnd(conn_, "norbix-fleet could not send the rows");
            while (PGresult* rest = PQgetResult(conn_)) PQclear(rest);
            check(nullptr);
        }
    }

    void check(PGresult* result, bool clear = true, ExecStatusType expected = PGRES_COMMAND_OK) {
        const ExecStatusType status = result ? PQresultStatus(result) : PGRES_FATAL_ERROR;
        if (status == expected || status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK) {
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
