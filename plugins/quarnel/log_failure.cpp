#include "quarnel_plugin.h"
#include "wyxcore/logger.h"

int logFailure(void* plugin, const char* message) {
    wyxWriteLog(plugin, kWyxLogError, message);
    return kQuarnelFailed;
}
