// Which collectors run: OSK_INCLUDE or OSK_EXCLUDE, matched against selection names.
#include "plugin_selection.h"

#include <cstdlib>

#include <boost/algorithm/string/classification.hpp>
#include <boost/algorithm/string/split.hpp>

#include "collector_app.h"

std::vector<std::string> splitPluginNames(const std::string& value) {
    std::vector<std::string> names;
    if (value.empty()) return names;
    boost::split(names, value, boost::is_any_of(" ,;"));
    if (names.back().empty()) names.pop_back();
    return names;
}

void CollectorApp::selectPlugins() {
    const char* include = std::getenv("OSK_INCLUDE");
    const char* exclude = std::getenv("OSK_EXCLUDE");
    const char* value = nullptr;
    if (include) {
        includeMode = true;
        value = include;
        if (exclude) {
            writeConsole("ERROR: OSK_INCLUDE and OSK_EXCLUDE can't both be set.\n\n");
            exitProgram(1);
        }
    } else if (exclude) {
        includeMode = false;
        value = exclude;
    }
    if (value) pluginNames = splitPluginNames(value);
}

bool CollectorApp::isSelected(const std::string& name) const {
    bool listed = false;
    for (const std::string& entry : pluginNames) listed = listed || entry == name;
    return includeMode ? listed : !listed;
}
