#ifndef NORBIX_LOG_TYPES_H
#define NORBIX_LOG_TYPES_H

#include <string>

// The name of a core-log type ("Error" to "Verbose"), or the number itself for
// any other type: the console's logging-level line and the reports say it alike.
std::string LogTypeName(int type);

#endif
