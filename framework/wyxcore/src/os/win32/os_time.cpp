#include <windows.h>

#include "wyxcore/os_specific.h"

TCIMDateTime TOSSpecific::GetLocalTime() {
    SYSTEMTIME local;
    ::GetLocalTime(&local);
    TIME_ZONE_INFORMATION zone;
    DWORD mode = GetTimeZoneInformation(&zone);
    long bias = zone.Bias;
    if (mode == TIME_ZONE_ID_DAYLIGHT) bias += zone.DaylightBias;
    else if (mode == TIME_ZONE_ID_STANDARD) bias += zone.StandardBias;
    TCIMDateTime result;
    result.Set(local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond,
               local.wMilliseconds * 1000L, static_cast<int>(-bias));
    return result;
}
