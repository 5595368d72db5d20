#ifndef QUARNEL_PLUGIN_H
#define QUARNEL_PLUGIN_H

#include "wyxcore/flat.h"

// Status of the plug-in's own operations.
enum { kQuarnelOK = 0, kQuarnelFailed = 3 };

// The failure of one of the plug-in's steps: message logged as an error, then
// kQuarnelFailed.
int logFailure(void* plugin, const char* message);

int QuarnelNoop();
WyxPluginInfo QuarnelGetInfo();
// Always 0; runs one collection per "VARNSG_ULKLog" among the class names.
int QuarnelGetData(void* plugin, void* container, const char** classNames, int count);
// One collection: finds the service processor and reads its log. 0 or 3.
int collectServiceProcessorLogs(void* plugin, void* container, const char** classNames, int count);

// Called by the library's load entry: registers the callback record. False when
// the framework refused it (the load then fails).
bool registerQuarnel();

#endif
