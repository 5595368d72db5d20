#ifndef WYXCORE_PLUGIN_H
#define WYXCORE_PLUGIN_H

#include <string>
#include <vector>

#include "wyxcore/export.h"

class TContainer;

// Plug-in types reported by GetType.
enum WyxPluginType {
    kWyxCollector = 0,
    kWyxWriter = 1,
    kWyxAnalysis = 2,
    kWyxVersionChecker = 3
};

// Every plug-in's callbacks object offers this interface; the others are reached
// from it by dynamic_cast, which fails for an interface the plug-in lacks.
class WYX_API IPluginCallbacks {
public:
    virtual ~IPluginCallbacks();
    virtual int GetType() = 0;
    virtual std::string GetName() = 0;
};

// Collectors and analysis: the query manager calls Query with the class names
// wanted (empty: none in particular) and the pass number.
//
// Threads: a collector's Query runs on a thread of its own, against a container
// of its own, under a time bound. A query that overruns is abandoned: the run
// goes on without what it added, its thread is left running (nothing can stop
// it safely), and from then on every framework call it makes is refused or
// dropped. The same plug-in may be queried again (the next pass) while an
// abandoned call still runs, so a collector keeps no state between queries that
// two calls could share unguarded. The process ends without running the
// plug-in's destructors once a query was abandoned.
class WYX_API IPluginBasicQueryCallbacks {
public:
    virtual ~IPluginBasicQueryCallbacks();
    virtual void Query(TContainer* container, const std::vector<std::string>& classNames,
                       int pass) = 0;
};

class WYX_API IPluginAdvancedQueryCallbacks {
public:
    virtual ~IPluginAdvancedQueryCallbacks();
    // Throws TWYXException.
    virtual void AdvancedQuery(TContainer* container, const std::string& directory) = 0;
};

class WYX_API IPluginWriteCallbacks {
public:
    virtual ~IPluginWriteCallbacks();
    // Throws TWYXException (kWyxAccessDenied when the path cannot be written).
    virtual void WriteContainer(TContainer* container, const std::string& path) = 0;
};

// A loaded plug-in, owned by the plug-in manager.
class WYX_API IPlugin {
public:
    virtual ~IPlugin();
    virtual IPluginCallbacks* GetCallbacks() = 0;
    virtual bool IsLoaded() = 0;
    virtual std::string GetFileName() = 0;   // full path of the library file
};

// The name a plug-in is selected by (OSK_INCLUDE, OSK_EXCLUDE, a class's
// Provider): its file name without directory and without the plug-in extension.
WYX_API std::string PluginSelectionName(const std::string& fileName);
// The same cut with another extension and separator (a file of the other OS).
WYX_API std::string PluginSelectionName(const std::string& fileName, const std::string& extension,
                                        const std::string& separator);

// A C++ plug-in exports this entry (extern "C"); it returns its callbacks object,
// which the framework keeps for the process's lifetime, or null to refuse loading.
#define WYX_CPP_PLUGIN_ENTRY "wyxCreatePlugin"
extern "C" {
typedef IPluginCallbacks* (*WyxCreatePluginFn)();
}

#endif
