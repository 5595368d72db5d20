#include "quarnel_plugin.h"

// A refused registration leaves the plug-in unregistered, which the framework
// treats as a failed load.
__attribute__((constructor)) static void quarnelLoadEntry() { registerQuarnel(); }
