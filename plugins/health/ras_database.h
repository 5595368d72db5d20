#ifndef HEALTH_RAS_DATABASE_H
#define HEALTH_RAS_DATABASE_H

#include <string>

#include "health_facts.h"

namespace health {

const char kRasDatabase[] = "/var/lib/rasdaemon/ras-mc_event.db";
const size_t kRasRecordLimit = 10000;   // the newest, over all tables
const unsigned kRasBusyMillis = 1000;   // the daemon holds its lock for one insert
const unsigned kRasTimeMillis = 5000;

// The RAS daemon's records (memory controller events, machine checks, AER
// events, disk errors: whichever tables exist) from its SQLite database at
// path, opened read-only. Unknown tables and columns are ignored; a database
// that is locked, corrupt, of no known layout or too slow to read is a problem.
void ReadRasDatabase(const std::string& path, HealthFacts& facts, unsigned timeMillis = kRasTimeMillis);

// "2026-12-08 14:03:11 +0100" as seconds since 1970 in UTC; false for anything else.
bool RasTimestamp(const std::string& text, int64_t* unixSeconds);

}  // namespace health

#endif
