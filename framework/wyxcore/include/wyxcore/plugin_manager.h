#ifndef WYXCORE_PLUGIN_MANAGER_H
#define WYXCORE_PLUGIN_MANAGER_H

#include <string>
#include <vector>

#include <boost/shared_ptr.hpp>

#include "wyxcore/export.h"
#include "wyxcore/plugin.h"

class TContainer;

// A library file of the plug-in directory that did not become a plug-in.
struct TRefusedPlugin {
    std::string fileName;   // full path
    std::string reason;     // as the core log says it
};

class WYX_API IPluginManager {
public:
    virtual ~IPluginManager();
    // Loads every plug-in library of the plug-in directory, in name order. A file
    // that fails to load is logged in the core log and skipped. Throws
    // TWYXException (kWyxPluginDirMissing) when the directory cannot be read.
    virtual void LoadPlugins() = 0;
    virtual std::vector<boost::shared_ptr<IPlugin> > GetPlugins() = 0;
    // The plug-in whose callbacks' GetName equals name, or null.
    virtual IPlugin* FindPlugin(const std::string& name) = 0;
    // The files LoadPlugins refused, in load order.
    virtual std::vector<TRefusedPlugin> GetRefused() = 0;
    // The collection container, owned by the framework.
    virtual TContainer* GetContainer() = 0;
};

#endif
