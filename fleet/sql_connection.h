#ifndef NORBIX_FLEET_SQL_CONNECTION_H
#define NORBIX_FLEET_SQL_CONNECTION_H

#include <functional>
#include <memory>
#include <string>
#include <vector>

// A value bound to or read from a statement: text or SQL NULL. Numbers travel
// as their decimal text; the columns' types make them numbers in the store.
struct SqlValue {
    SqlValue() : isNull(true) {}
    SqlValue(std::string t) : isNull(false), text(std::move(t)) {}
    SqlValue(const char* t) : isNull(false), text(t) {}
    static SqlValue Number(long long n) { return SqlValue(std::to_string(n)); }
    bool isNull;
    std::string text;
};

using SqlRow = std::vector<SqlValue>;

struct SqlResult {
    std::vector<std::string> columns;
    std::vector<SqlRow> rows;
};

// One connection to a store, the same for SQLite and PostgreSQL. Statements
// mark their parameters with '?'. Failures throw FleetError naming the store
// and what the database said.
class SqlConnection {
public:
    virtual ~SqlConnection() = default;
    // The store as the user named it, for messages.
    virtual const std::string& Name() const = 0;
    // "sqlite" or "postgresql": where the two dialects differ.
    virtual const char* Dialect() const = 0;
    // One or more statements without parameters or results.
    virtual void Execute(const std::string& sql) = 0;
    virtual SqlResult Query(const std::string& sql, const std::vector<SqlValue>& params = {}) = 0;
    // One statement of the user, its result handed over as it arrives: the
    // column names once, then each row; memory stays that of one row.
    virtual void Stream(const std::string& sql, const std::function<void(const std::vector<std::string>&)>& columns,
                        const std::function<void(const SqlRow&)>& row) = 0;
    // Rows of one statement many times over (an insert per record): the
    // statement is prepared once.
    virtual void ExecuteMany(const std::string& sql, const std::vector<std::vector<SqlValue> >& rows) = 0;
    // A transaction that holds the store's write lock from its start, so that
    // two writers never both read before either writes.
    virtual void BeginWrite() = 0;
    virtual void Commit() = 0;
    // Never throws: called on the way out of a failure.
    virtual void Rollback() noexcept = 0;
};

// Rolls back unless committed: a failure part-way stores nothing.
class WriteTransaction {
public:
    explicit WriteTransaction(SqlConnection& c) : c_(c) { c_.BeginWrite(); }
    ~WriteTransaction() {
        if (!done_) c_.Rollback();
    }
    WriteTransaction(const WriteTransaction&) = delete;
    WriteTransaction& operator=(const WriteTransaction&) = delete;
    void Commit() {
        c_.Commit();
        done_ = true;
    }
    void Rollback() {
        c_.Rollback();
        done_ = true;
    }

private:
    SqlConnection& c_;
    bool done_ = false;
};

#endif
