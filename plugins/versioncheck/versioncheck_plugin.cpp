#include "version_checker.h"
#include "wyxcore/export.h"

extern "C" WYX_PLUGIN_EXPORT IPluginCallbacks* wyxCreatePlugin() {
    static VersionChecker checker;
    return &checker;
}
