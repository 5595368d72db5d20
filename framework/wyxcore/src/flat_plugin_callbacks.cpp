#include "flat_plugin_callbacks.h"

#include "container_handle.h"

FlatPluginCallbacks::FlatPluginCallbacks(const WyxPluginRecord& record, IPlugin* plugin)
    : record_(record), plugin_(plugin) {
    WyxPluginInfo info = record_.info();
    name_ = info.name ? info.name : "";
}

int FlatPluginCallbacks::Initialise() { return record_.first ? record_.first() : 0; }

void FlatPluginCallbacks::Query(TContainer* container, const std::vector<std::string>& classNames, int) {
    std::vector<const char*> names;
    for (const std::string& name : classNames) names.push_back(name.c_str());
    names.push_back(nullptr);
    TContainerHandle handle(container);
    record_.data(plugin_, &handle, names.data(), static_cast<int>(classNames.size()));
}
