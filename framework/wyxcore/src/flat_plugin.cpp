// Flat entry points for registration, logging and the plug-in path.
#include "wyxcore/flat.h"
#include "wyxcore/logger.h"
#include "wyxcore/root_object.h"

#include "flat_guard.h"
#include "plugin_manager_impl.h"
#include "query_deadline.h"
#include "wyxcore/status.h"

extern "C" int wyxRegisterPlugin(const WyxPluginRecord* record, void** handle) {
    return GuardFlat([&] { return PluginManager::RegisterFlat(record, handle); });
}

extern "C" int wyxWriteLog(void* plugin, int type, const char* text) {
    return GuardFlat([&] {
        if (!text || (plugin && !LoadedPlugin::FromHandle(plugin))) return kWyxFailure;
        // An abandoned query's handles are revoked.
        if (!query_deadline::CallerMayWrite()) return kWyxFailure;
        ILogger* logger = TRootObject::GetCoreLogger();
        // Plug-ins log a great deal per entry below the usual level: drop it before making a string of it.
        if (type != kWyxLogHeavyHitter && type > logger->GetLevel()) return kWyxOK;
        logger->Write(static_cast<IPlugin*>(plugin), type, text);
        return kWyxOK;
    });
}

extern "C" int wyxGetPluginPath(void* plugin, const char** path) {
    return GuardFlat([&] {
        LoadedPlugin* loaded = LoadedPlugin::FromHandle(plugin);
        if (!loaded || !path) return kWyxFailure;
        *path = loaded->fileName().c_str();
        return kWyxOK;
    });
}
