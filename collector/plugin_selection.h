#ifndef NORBIX_PLUGIN_SELECTION_H
#define NORBIX_PLUGIN_SELECTION_H

#include <string>
#include <vector>

// Cuts an OSK_INCLUDE / OSK_EXCLUDE value at every space, comma and semicolon:
// adjacent and leading separators give empty names, a trailing one nothing.
std::vector<std::string> splitPluginNames(const std::string& value);

#endif
