#ifndef NORBIX_FLEET_STORE_SCHEMA_H
#define NORBIX_FLEET_STORE_SCHEMA_H

#include "sql_connection.h"

// The schema version this program writes and reads.
extern const int kStoreSchemaVersion;

// Creates the schema in an empty store or migrates an older one, in one write
// transaction; refuses (FleetError naming the store) a store of a newer
// program, or a database that holds tables but is no store of this program.
void PrepareStoreSchema(SqlConnection& connection);

// For reading: refuses a store that is empty, older or newer than this program.
void CheckStoreSchema(SqlConnection& connection);

#endif
