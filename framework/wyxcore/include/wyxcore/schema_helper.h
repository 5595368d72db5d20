#ifndef WYXCORE_SCHEMA_HELPER_H
#define WYXCORE_SCHEMA_HELPER_H

#include <string>

#include "wyxcore/export.h"

class TContainer;

// The machine's identity as the "System" collector stored it. Each throws
// TWYXException (kWyxNoSystemIdentity) when the value is absent or empty.
class WYX_API TCIMSchemaHelper {
public:
    static std::string GetSystemCreationClassName(TContainer* container);
    static std::string GetMTM(TContainer* container);           // machine type-model
    static std::string GetSerialNumber(TContainer* container);
};

#endif
