#include "store_open.h"

#include "sqlite_connection.h"

bool IsPostgresAddress(const std::string& store) {
    return store.compare(0, 13, "postgresql://") == 0 || store.compare(0, 11, "postgres://") == 0;
}

std::unique_ptr<SqlConnection> OpenStore(const std::string& store, bool readOnly, int waitSeconds) {
    if (IsPostgresAddress(store)) return OpenPostgresStore(store, readOnly, waitSeconds);
    return OpenSqliteStore(store, readOnly, waitSeconds);
}
