#include "plugin_manager_impl.h"

#include <algorithm>
#include <cstdlib>
#include <mutex>
#include <set>

#include "flat_plugin_callbacks.h"
#include "library.h"
#include "query_manager_impl.h"
#include "wyxcore/container.h"
#include "wyxcore/exception.h"
#include "wyxcore/logger.h"
#include "wyxcore/os_specific.h"
#include "wyxcore/plugin_call.h"
#include "wyxcore/root_object.h"
#include "wyxcore/status.h"

namespace {
std::mutex livePluginsMutex;
std::set<void*>& livePlugins() {
    static std::set<void*>* plugins = new std::set<void*>();
    return *plugins;
}
}  // namespace

LoadedPlugin::LoadedPlugin(const std::string& fileName)
    : fileName_(fileName), library_(nullptr), callbacks_(nullptr), loaded_(false) {
    std::lock_guard<std::mutex> lock(livePluginsMutex);
    livePlugins().insert(static_cast<IPlugin*>(this));
}

// Libraries stay loaded until the process ends: their code may still be on the
// stack of static destructors, and unloading buys nothing at exit.
LoadedPlugin::~LoadedPlugin() {
    std::lock_guard<std::mutex> lock(livePluginsMutex);
    livePlugins().erase(static_cast<IPlugin*>(this));
}

LoadedPlugin* LoadedPlugin::FromHandle(void* handle) {
    std::lock_guard<std::mutex> lock(livePluginsMutex);
    if (!handle || !livePlugins().count(handle)) return nullptr;
    return static_cast<LoadedPlugin*>(static_cast<IPlugin*>(handle));
}

void LoadedPlugin::setCallbacks(IPluginCallbacks* callbacks, bool owned) {
    callbacks_ = callbacks;
    if (owned) ownedCallbacks_.reset(callbacks);
}

PluginManager* PluginManager::loadingManager_ = nullptr;

PluginManager::PluginManager() : loading_(nullptr), registered_(false), refused_(false), pendingRecord_() {}

std::string PluginManager::PluginDirectory() {
    const char* dir = std::getenv("WYX_PLUGIN_DIR");
    if (dir && *dir) return dir;
    return TOSSpecific::GetExecutableDir() + TOSSpecific::kFileSeparator + "plugins";
}

void PluginManager::LoadPlugins() {
    const std::string dir = PluginDirectory();
    std::vector<std::string> names = wyxos::ListFiles(dir);
    const std::string& ext = TOSSpecific::kPluginExtension;
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
        if (name.size() <= ext.size() || name.compare(name.size() - ext.size(), ext.size(), ext) != 0) continue;
        loadOne(dir + TOSSpecific::kFileSeparator + name);
    }
}

void PluginManager::loadOne(const std::string& path) {
    try {
        loadGuarded(path);
    } catch (const TWYXException& e) {
        refuse(path, e.what());
    }
}

void PluginManager::refuse(const std::string& path, const std::string& reason) {
    TRootObject::GetCoreLogger()->Write(nullptr, kWyxLogError, "Couldn't load plug-in " + path + ": " + reason);
    refusedFiles_.push_back(TRefusedPlugin{path, reason});
}

// Every step that runs the plug-in's own code (its load entry, its information
// and first callbacks, its creation entry, its name and type) goes through the
// guard: a plug-in that throws is refused like one that fails to load.
void PluginManager::loadGuarded(const std::string& path) {
    ILogger* log = TRootObject::GetCoreLogger();
    const std::string name = PluginSelectionName(path);
    boost::shared_ptr<LoadedPlugin> plugin(new LoadedPlugin(path));
    loading_ = plugin.get();
    registered_ = false;
    refused_ = false;
    loadingManager_ = this;
    std::string error;
    void* library = nullptr;
    try {
        CallPlugin(name, kWyxPluginLoadFailed, [&] { library = wyxos::OpenLibrary(path, &error); });
    } catch (...) {
        loadingManager_ = nullptr;
        loading_ = nullptr;
        throw;
    }
    loadingManager_ = nullptr;
    loading_ = nullptr;
    if (!library) {
        refuse(path, error);
        return;
    }
    plugin->setLibrary(library);
    if (registered_) {
        bool initialised = false;
        CallPlugin(name, kWyxPluginLoadFailed, [&] {
            plugin->setCallbacks(new FlatPluginCallbacks(pendingRecord_, plugin.get()), true);
            initialised = static_cast<FlatPluginCallbacks*>(plugin->GetCallbacks())->Initialise() == 0;
        });
        plugin->setLoaded(initialised);
        if (!plugin->IsLoaded())
            log->Write(nullptr, kWyxLogWarning, "Plug-in " + path + " could not initialise and will not run");
        plugins_.push_back(plugin);
        return;
    }
    if (refused_) {
        refuse(path, "registration refused");
        wyxos::CloseLibrary(library);
        return;
    }
    WyxCreatePluginFn create =
        reinterpret_cast<WyxCreatePluginFn>(wyxos::FindSymbol(library, WYX_CPP_PLUGIN_ENTRY));
    if (!create) {
        refuse(path, "no plug-in entry");
        wyxos::CloseLibrary(library);
        return;
    }
    IPluginCallbacks* callbacks = nullptr;
    CallPlugin(name, kWyxPluginLoadFailed, [&] {
        callbacks = create();
        // Asked once here, so that a plug-in that cannot answer them is refused now.
        if (callbacks) {
            callbacks->GetName();
            callbacks->GetType();
        }
    });
    if (!callbacks) {
        refuse(path, "the plug-in refused to load");
        wyxos::CloseLibrary(library);
        return;
    }
    plugin->setCallbacks(callbacks, false);
    plugin->setLoaded(true);
    plugins_.push_back(plugin);
}

int PluginManager::RegisterFlat(const WyxPluginRecord* record, void** handle) {
    return loadingManager_ ? loadingManager_->acceptFlat(record, handle) : 3;
}

int PluginManager::acceptFlat(const WyxPluginRecord* record, void** handle) {
    if (!loading_ || registered_ || !record || !handle) {
        refused_ = true;
        return 3;
    }
    if (record->size != kWyxPluginRecordSize || !record->data || !record->info) {
        refused_ = true;
        return 3;
    }
    pendingRecord_ = *record;
    *handle = static_cast<IPlugin*>(loading_);
    registered_ = true;
    return 0;
}

IPlugin* PluginManager::FindPlugin(const std::string& name) {
    for (const boost::shared_ptr<IPlugin>& plugin : plugins_) {
        IPluginCallbacks* callbacks = plugin->GetCallbacks();
        if (callbacks && callbacks->GetName() == name) return plugin.get();
    }
    return nullptr;
}

TContainer* PluginManager::GetContainer() {
    if (!container_) container_.reset(new TContainer());
    return container_.get();
}
