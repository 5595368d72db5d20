#include <windows.h>

#include "priority.h"

bool lowerProcessPriority(unsigned long* error) {
    if (SetPriorityClass(GetCurrentProcess(), BELOW_NORMAL_PRIORITY_CLASS)) return true;
    *error = GetLastError();
    return false;
}
