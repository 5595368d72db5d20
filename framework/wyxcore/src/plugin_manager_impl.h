#ifndef WYXCORE_PLUGIN_MANAGER_IMPL_H
#define WYXCORE_PLUGIN_MANAGER_IMPL_H

#include <memory>
#include <string>
#include <vector>

#include "wyxcore/flat.h"
#include "wyxcore/plugin_manager.h"

class TContainer;

// A plug-in as the manager holds it: its file, its library and its callbacks.
// Its address is the plug-in handle that flat plug-ins receive.
class WYX_API LoadedPlugin : public IPlugin {
public:
    explicit LoadedPlugin(const std::string& fileName);
    ~LoadedPlugin() override;
    IPluginCallbacks* GetCallbacks() override { return callbacks_; }
    bool IsLoaded() override { return loaded_; }
    std::string GetFileName() override { return fileName_; }

    const std::string& fileName() const { return fileName_; }
    // The live plug-in whose address is handle, or null: flat entry points check
    // the handles they are given.
    static LoadedPlugin* FromHandle(void* handle);
    void setLibrary(void* library) { library_ = library; }
    void setCallbacks(IPluginCallbacks* callbacks, bool owned);
    void setLoaded(bool loaded) { loaded_ = loaded; }

private:
    std::string fileName_;
    void* library_;
    IPluginCallbacks* callbacks_;
    std::unique_ptr<IPluginCallbacks> ownedCallbacks_;
    bool loaded_;
};

class WYX_API PluginManager : public IPluginManager {
public:
    PluginManager();
    void LoadPlugins() override;
    std::vector<boost::shared_ptr<IPlugin> > GetPlugins() override { return plugins_; }
    IPlugin* FindPlugin(const std::string& name) override;
    TContainer* GetContainer() override;
    std::vector<TRefusedPlugin> GetRefused() override { return refusedFiles_; }

    // The directory plug-ins are loaded from: WYX_PLUGIN_DIR, or plugins/ beside
    // the executable.
    static std::string PluginDirectory();

    // wyxRegisterPlugin: 0 when a manager is loading a library and accepts the
    // record.
    static int RegisterFlat(const WyxPluginRecord* record, void** handle);

private:
    void loadOne(const std::string& path);
    void loadGuarded(const std::string& path);
    // Logs the refusal and keeps it for GetRefused.
    void refuse(const std::string& path, const std::string& reason);

    int acceptFlat(const WyxPluginRecord* record, void** handle);

    std::vector<boost::shared_ptr<IPlugin> > plugins_;
    std::vector<TRefusedPlugin> refusedFiles_;
    LoadedPlugin* loading_;           // the plug-in whose library is being loaded
    bool registered_;
    bool refused_;
    WyxPluginRecord pendingRecord_;   // the record registered by the library being loaded
    static PluginManager* loadingManager_;
    std::unique_ptr<TContainer> container_;
};

PluginManager* ThePluginManager();

#endif
