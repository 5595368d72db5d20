#ifndef NORBIX_FLEET_RECORD_IDENTITY_H
#define NORBIX_FLEET_RECORD_IDENTITY_H

#include <cstdint>
#include <vector>

#include "collection_facts.h"

// A record's corrected time is the service processor's stamp moved by the clock
// difference measured in that collection; two collections measure it apart, so
// the same record may come out a little earlier or later.
const int64_t kCorrectionSlackSeconds = 120;

// Whether two records are the same record of the same log: log, record ID and
// message alike, and corrected times within the slack (or both without one).
bool SameRecord(const LogRecordFact& a, const LogRecordFact& b);

// The records of after that before does not hold, in after's order. Each
// record of before answers for one record of after at most, so a repeated
// record counts as often as it was logged.
std::vector<const LogRecordFact*> RecordsOnlyIn(const std::vector<LogRecordFact>& before,
                                                const std::vector<LogRecordFact>& after);

#endif
