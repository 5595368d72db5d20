#include "html_writer.h"
#include "wyxcore/export.h"

extern "C" WYX_PLUGIN_EXPORT IPluginCallbacks* wyxCreatePlugin() {
    static HtmlWriter writer;
    return &writer;
}
