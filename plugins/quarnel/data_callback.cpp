#include <cstring>

#include "quarnel_plugin.h"

int QuarnelGetData(void* plugin, void* container, const char** classNames, int count) {
    for (int i = 0; classNames && i < count; ++i) {
        if (!classNames[i] || std::strcmp(classNames[i], "VARNSG_ULKLog") != 0) continue;
        if (collectServiceProcessorLogs(plugin, container, classNames, count) != kQuarnelOK)
            wyxWriteLog(plugin, 0, "Error occurred while collecting sp firmware and vpd data");
    }
    wyxWriteLog(plugin, 3, "Returning from QuarnelGetData");
    return 0;
}
