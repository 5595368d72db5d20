#ifndef WYXCORE_QUERY_MANAGER_H
#define WYXCORE_QUERY_MANAGER_H

#include <string>
#include <vector>

#include "wyxcore/export.h"

class IPlugin;
class TContainer;

class WYX_API IQueryManager {
public:
    virtual ~IQueryManager();
    // Runs the plug-in's query against the container and returns when it has
    // finished. An empty class list stands for the classes the plug-in provides
    // in that pass (a plug-in that provides none is not called). Throws
    // TWYXException.
    virtual void RunQuery(IPlugin* plugin, TContainer* container,
                          const std::vector<std::string>& classNames, int pass) = 0;
};

// How many collector queries overran their time bound and were abandoned. An
// abandoned query's thread may still be running and may wake at any time, so
// once this is not 0 the process must not run its destructors: end it with
// TOSSpecific::EndProcessNow once every output is flushed. Thread-safe.
WYX_API unsigned AbandonedQueryCount();

#endif
