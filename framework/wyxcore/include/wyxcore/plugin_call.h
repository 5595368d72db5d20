#ifndef WYXCORE_PLUGIN_CALL_H
#define WYXCORE_PLUGIN_CALL_H

#include <functional>
#include <string>

#include "wyxcore/export.h"

// The one boundary around code of a plug-in: the load entry, its callbacks, its
// queries, writers and checks. Runs call; what the plug-in lets out leaves as a
// TWYXException: its own unchanged, an allocation failure as kWyxOutOfMemory,
// anything else with the failure status of the step (kWyxPluginFailed,
// kWyxQueryFailed), the detail naming the plug-in.
WYX_API void CallPlugin(const std::string& plugin, int failure, const std::function<void()>& call);

#endif
