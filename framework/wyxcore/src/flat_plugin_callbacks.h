#ifndef WYXCORE_FLAT_PLUGIN_CALLBACKS_H
#define WYXCORE_FLAT_PLUGIN_CALLBACKS_H

#include <string>
#include <vector>

#include "wyxcore/flat.h"
#include "wyxcore/plugin.h"

// The callbacks object of a plug-in that registered a flat record: a collector
// whose query calls the record's data callback.
class FlatPluginCallbacks : public IPluginCallbacks, public IPluginBasicQueryCallbacks {
public:
    FlatPluginCallbacks(const WyxPluginRecord& record, IPlugin* plugin);
    int GetType() override { return kWyxCollector; }
    std::string GetName() override { return name_; }
    void Query(TContainer* container, const std::vector<std::string>& classNames, int pass) override;
    // The record's first callback; non-zero means the plug-in cannot run.
    int Initialise();

private:
    WyxPluginRecord record_;
    IPlugin* plugin_;
    std::string name_;
};

#endif
