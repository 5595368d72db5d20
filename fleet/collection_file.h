#ifndef NORBIX_FLEET_COLLECTION_FILE_H
#define NORBIX_FLEET_COLLECTION_FILE_H

#include <memory>
#include <string>

#include "collection_facts.h"
#include "wyxcore/container.h"

// A collection read whole: the container and its facts.
struct LoadedCollection {
    std::unique_ptr<TContainer> container;
    CollectionFacts facts;
};
LoadedCollection LoadCollectionFile(const std::string& path);

// A saved collection read whole: its facts, or FleetError naming the file and
// why it is no collection of a server (missing, unreadable, truncated, not
// CIM-XML, or without the serial number that says which server it is).
CollectionFacts ReadCollectionFile(const std::string& path);

// The file's name without its folder and without ".xml.gz" or ".xml".
std::string CollectionStem(const std::string& path);

#endif
