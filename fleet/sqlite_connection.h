#ifndef NORBIX_FLEET_SQLITE_CONNECTION_H
#define NORBIX_FLEET_SQLITE_CONNECTION_H

#include <memory>
#include <string>

#include "sql_connection.h"

// A store in an SQLite file. readOnly: the file must exist, and nothing can
// be written through the connection. Waits up to busySeconds for another
// writer's lock before it gives up with a message that says so.
std::unique_ptr<SqlConnection> OpenSqliteStore(const std::string& path, bool readOnly, int busySeconds);

#endif
