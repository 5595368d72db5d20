#include "fleet_error.h"
#include "store_open.h"

std::unique_ptr<SqlConnection> OpenPostgresStore(const std::string& address, bool, int) {
    throw FleetError("'" + address + "': this build of norbix-fleet has no PostgreSQL support; use an SQLite store");
}
