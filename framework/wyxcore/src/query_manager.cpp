#include "query_manager_impl.h"

#include "query_deadline.h"
#include "schema_loader.h"
#include "wyxcore/container.h"
#include "wyxcore/exception.h"
#include "wyxcore/os_specific.h"
#include "wyxcore/plugin.h"
#include "wyxcore/plugin_call.h"
#include "wyxcore/status.h"

std::vector<std::string> QueryManager::ProvidedClasses(TContainer* container, const std::string& selectionName,
                                                       int pass) {
    std::vector<std::string> names;
    for (const TCIMClass* cimClass : container->GetClasses())
        if (cimClass->GetProviderPass() >= 0 && cimClass->GetProviderPass() == pass &&
            cimClass->GetProvider() == selectionName)
            names.push_back(cimClass->GetName());
    return names;
}

void QueryManager::RunQuery(IPlugin* plugin, TContainer* container, const std::vector<std::string>& classNames,
                            int pass) {
    if (!plugin || !container || !plugin->GetCallbacks()) throw TWYXException(kWyxInvalidArgument, "RunQuery");
    if (!plugin->IsLoaded()) throw TWYXException(kWyxPluginLoadFailed, plugin->GetFileName());
    IPluginCallbacks* callbacks = plugin->GetCallbacks();
    IPluginBasicQueryCallbacks* query = dynamic_cast<IPluginBasicQueryCallbacks*>(callbacks);
    if (!query) throw TWYXException(kWyxNotSupported, callbacks->GetName() + " has no query interface");
    std::vector<std::string> wanted = classNames;
    // A collector's pass is what the schema registers it for; other plug-ins
    // (analysis) are handed the request as it is.
    if (wanted.empty() && callbacks->GetType() == kWyxCollector) {
        wanted = ProvidedClasses(container, PluginSelectionName(plugin->GetFileName()), pass);
        if (wanted.empty()) return;
    }
    try {
        CallPlugin(PluginSelectionName(plugin->GetFileName()), kWyxQueryFailed, [&] {
            if (callbacks->GetType() == kWyxCollector)
                query_deadline::RunBounded(plugin, query, container, wanted, pass, query_deadline::CollectorBound());
            else
                query->Query(container, wanted, pass);
        });
    } catch (const TWYXException& e) {
        // A class that is missing because the schema could not be read: say so.
        if (e.GetStatus() == kWyxUnknownClass && schema::State() != kWyxOK)
            throw TWYXException(schema::State(), e.GetDetail());
        throw;
    }
}
