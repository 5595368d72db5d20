#ifndef NORBIX_FLEET_FLEET_STORE_H
#define NORBIX_FLEET_FLEET_STORE_H

#include <string>
#include <vector>

#include "collection_facts.h"
#include "sql_connection.h"

class TContainer;

// Stores one collection in one write transaction: its server, the collection
// by content hash, every instance, and the facts the reports use. False when a
// collection of that content is stored already (then nothing is written).
// Throws FleetError for a failure of the store; nothing is then stored.
bool StoreCollection(SqlConnection& store, const std::string& fileName, const std::string& contentHash,
                     const TContainer& container, const CollectionFacts& facts);

// A stored collection's facts, as ReadCollectionFacts gave them at ingest.
CollectionFacts LoadStoredFacts(SqlConnection& store, const std::string& collectionId);

#endif
