// Flat entry points for registration, logging and the plug-in path.
#include "wyxcore/flat.h"
#include "wyxcore/logger.h"
#include "wyxcore/root_object.h"

#include "plugin_manager_impl.h"

extern "C" int wyxRegisterPlugin(const WyxPluginRecord* record, void** handle) {
    return ThePluginManager()->RegisterFlat(record, handle);
}

extern "C" int wyxWriteLog(void* plugin, int type, const char* text) {
    if (!text) return 3;
    TRootObject::GetCoreLogger()->Write(static_cast<IPlugin*>(plugin), type, text);
    return 0;
}

extern "C" int wyxGetPluginPath(void* plugin, const char** path) {
    if (!plugin || !path) return 3;
    for (const boost::shared_ptr<IPlugin>& p : ThePluginManager()->GetPlugins()) {
        if (p.get() == plugin) {
            *path = static_cast<LoadedPlugin*>(p.get())->fileName().c_str();
            return 0;
        }
    }
    return 3;
}
