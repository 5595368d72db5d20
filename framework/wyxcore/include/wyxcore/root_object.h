#ifndef WYXCORE_ROOT_OBJECT_H
#define WYXCORE_ROOT_OBJECT_H

#include "wyxcore/export.h"

class IPluginManager;
class IQueryManager;
class ILogger;

// The framework's singletons; each lives until the process ends.
class WYX_API TRootObject {
public:
    static IPluginManager* GetPluginManager();
    static IQueryManager* GetQueryManager();
    static ILogger* GetCoreLogger();
};

#endif
