// Key functions of the framework's interfaces: their type information lives in
// wyxcore alone, so dynamic_cast and catch work across modules.
#include "wyxcore/logger.h"
#include "wyxcore/plugin.h"
#include "wyxcore/plugin_manager.h"
#include "wyxcore/query_manager.h"

IPluginCallbacks::~IPluginCallbacks() {}
IPluginBasicQueryCallbacks::~IPluginBasicQueryCallbacks() {}
IPluginAdvancedQueryCallbacks::~IPluginAdvancedQueryCallbacks() {}
IPluginWriteCallbacks::~IPluginWriteCallbacks() {}
IPlugin::~IPlugin() {}
IPluginManager::~IPluginManager() {}
IQueryManager::~IQueryManager() {}
ILogger::~ILogger() {}
