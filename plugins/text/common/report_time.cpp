#include "report_time.h"

#include <cstdint>

#include "wyxcore/os_specific.h"

TCIMDateTime ReportTime() {
    const TCIMDateTime now = TOSSpecific::GetLocalTime();
    TCIMDateTime seconds;
    seconds.Set(now.GetYear(), now.GetMonth(), now.GetDay(), now.GetHour(), now.GetMinute(), now.GetSecond(), 0,
                static_cast<int16_t>(now.GetUTCOffset()));
    return seconds;
}
