#ifndef NORBIX_VERSION_CHECKER_H
#define NORBIX_VERSION_CHECKER_H

#include "wyxcore/plugin.h"

// The "Kalvix Version Checker": compares the catalog of the update media with
// the versions the container holds.
class VersionChecker : public IPluginCallbacks, public IPluginAdvancedQueryCallbacks {
public:
    int GetType() override;
    std::string GetName() override;
    // Throws TWYXException for a missing or malformed catalog, after writing
    // what is wrong with it (file, line) into the core log, where it becomes a
    // record of the run log.
    void AdvancedQuery(TContainer* container, const std::string& directory) override;
};

#endif
