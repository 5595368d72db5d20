#include "wyxcore/logger.h"

std::string LogTypeName(int type) {
    switch (type) {
    case kWyxLogError: return "Error";
    case kWyxLogWarning: return "Warning";
    case kWyxLogStatus: return "Status";
    case kWyxLogDebug: return "Debug";
    case kWyxLogVerbose: return "Verbose";
    default: return std::to_string(type);
    }
}
