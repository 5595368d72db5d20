#ifndef WYXCORE_PLUGIN_MANAGER_H
#define WYXCORE_PLUGIN_MANAGER_H

#include <string>
#include <vector>

#include <boost/shared_ptr.hpp>

#include "wyxcore/export.h"
#include "wyxcore/plugin.h"

class TContainer;

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
    // The collection container, owned by the framework.
    virtual TContainer* GetContainer() = 0;
};

#endif
