#include <sys/time.h>
#include <time.h>

#include "wyxcore/os_specific.h"

TCIMDateTime TOSSpecific::GetLocalTime() {
    struct timeval now;
    gettimeofday(&now, nullptr);
    time_t seconds = now.tv_sec;
    struct tm local;
    localtime_r(&seconds, &local);
    TCIMDateTime result;
    result.Set(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
               local.tm_sec > 59 ? 59 : local.tm_sec, static_cast<long>(now.tv_usec),
               static_cast<int>(local.tm_gmtoff / 60));
    return result;
}
