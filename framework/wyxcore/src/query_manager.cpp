#include "query_manager_impl.h"

#include "wyxcore/exception.h"
#include "wyxcore/plugin.h"
#include "wyxcore/status.h"

void QueryManager::RunQuery(IPlugin* plugin, TContainer* container, const std::vector<std::string>& classNames,
                            int pass) {
    if (!plugin || !container || !plugin->GetCallbacks()) throw TWYXException(kWyxInvalidArgument, "RunQuery");
    IPluginBasicQueryCallbacks* query = dynamic_cast<IPluginBasicQueryCallbacks*>(plugin->GetCallbacks());
    if (!query) throw TWYXException(kWyxNotSupported, "plug-in has no query interface");
    query->Query(container, classNames, pass);
}
