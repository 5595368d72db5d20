#include "system_clock.h"

#include "wyxcore/os_specific.h"

TCIMDateTime systemLocalTime() { return TOSSpecific::GetLocalTime(); }
