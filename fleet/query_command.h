#ifndef NORBIX_FLEET_QUERY_COMMAND_H
#define NORBIX_FLEET_QUERY_COMMAND_H

#include <ostream>
#include <string>

#include "fleet_command_line.h"
#include "sql_connection.h"

// One field of CSV (RFC 4180): quoted when it holds a comma, a quote or a
// line break, quotes doubled; NULL is an empty field.
std::string CsvField(const SqlValue& value);

// Runs the statement on the store opened read-only and prints the result as
// CSV, the column names first. Throws FleetError.
void RunQuery(const FleetCommandLine& line, std::ostream& out);

#endif
