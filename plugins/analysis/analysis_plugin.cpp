#include "analysis_callbacks.h"
#include "wyxcore/export.h"

extern "C" WYX_PLUGIN_EXPORT IPluginCallbacks* wyxCreatePlugin() {
    static BasicAnalysis analysis;
    return &analysis;
}
