#include "wyxcore/root_object.h"

#include "core_logger.h"
#include "plugin_manager_impl.h"
#include "query_manager_impl.h"

// Created on first use and never destroyed: plug-ins and the program may log
// or query during static destruction.
PluginManager* ThePluginManager() {
    static PluginManager* manager = new PluginManager();
    return manager;
}

IPluginManager* TRootObject::GetPluginManager() { return ThePluginManager(); }

IQueryManager* TRootObject::GetQueryManager() {
    static QueryManager* manager = new QueryManager();
    return manager;
}

ILogger* TRootObject::GetCoreLogger() {
    static CoreLogger* logger = new CoreLogger();
    return logger;
}
