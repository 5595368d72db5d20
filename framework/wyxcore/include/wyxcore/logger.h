#ifndef WYXCORE_LOGGER_H
#define WYXCORE_LOGGER_H

#include <string>
#include <vector>

#include "wyxcore/datetime.h"
#include "wyxcore/export.h"

class IPlugin;

// Core-log types.
enum WyxLogType {
    kWyxLogError = 0,
    kWyxLogWarning = 1,
    kWyxLogStatus = 2,
    kWyxLogDebug = 3,
    kWyxLogVerbose = 4,
    kWyxLogHeavyHitter = 100
};

// The name of a core-log type ("Error" to "Verbose"), or the number itself for
// any other type: the console's logging-level line and the reports say it alike.
WYX_API std::string LogTypeName(int type);

struct WYX_API TLogEntry {
    IPlugin* source;          // null: the program or the framework
    int type;
    std::string message;
    TCIMDateTime timestamp;
};

class WYX_API ILogger {
public:
    virtual ~ILogger();
    // Kept when type <= GetLevel() or type is a heavy-hitter note.
    virtual void Write(IPlugin* source, int type, const std::string& text) = 0;
    virtual std::vector<TLogEntry> GetEntries() = 0;
    // Called once after the entries are walked: empties the log.
    virtual void ClearEntries() = 0;
    // WYX_LOG_LEVEL (0 to 4), default 2.
    virtual int GetLevel() = 0;
};

#endif
