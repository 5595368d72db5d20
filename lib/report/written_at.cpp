#include "written_at.h"

#include "wyxcore/calendar.h"
#include "wyxcore/os_specific.h"

TCIMDateTime ReportTime() {
    const TCIMDateTime now = TOSSpecific::GetLocalTime();
    TCIMDateTime seconds;
    seconds.Set(now.GetYear(), now.GetMonth(), now.GetDay(), now.GetHour(), now.GetMinute(), now.GetSecond(), 0,
                calendar::OffsetMinutes(now));
    return seconds;
}
