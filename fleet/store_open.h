#ifndef NORBIX_FLEET_STORE_OPEN_H
#define NORBIX_FLEET_STORE_OPEN_H

#include <memory>
#include <string>

#include "sql_connection.h"

// Whether --store names a PostgreSQL database rather than an SQLite file.
bool IsPostgresAddress(const std::string& store);

// The store --store names. readOnly: nothing can be written through it.
std::unique_ptr<SqlConnection> OpenStore(const std::string& store, bool readOnly, int waitSeconds);

// PostgreSQL, where this build has it (postgres_connection.cpp), else a
// FleetError saying that it has not (postgres_missing.cpp).
std::unique_ptr<SqlConnection> OpenPostgresStore(const std::string& address, bool readOnly, int waitSeconds);

#endif
