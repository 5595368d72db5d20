// One collection: which service processor the server has, and which log to read.
#include "quarnel_plugin.h"
#include "sp_facts.h"
#include "system_clock.h"
#include "trav_log.h"
#include "ulk_log.h"
#include "vantlib/SPLibrary.h"
#include "wyxcore/calendar.h"

namespace {

const char kPellomonNote[] = "TRAV logs are not being collected due to the presence of Pellomon.";
const char kNoAnswer[] = "Unknown Error Code, Possible causes: Driver/SP failure!";

int fail(void* plugin, const char* message) {
    wyxWriteLog(plugin, 0, message);
    return kQuarnelFailed;
}

// The TRAV log is not read while Pellomon runs beside the ULK library; a
// heavy-hitters record says so.
int addPellomonRecord(void* plugin, void* container) {
    struct DateTime {
        void* handle = nullptr;
        ~DateTime() {
            if (handle) wyxDeleteCIMDateTime(handle);
        }
    } dateTime;
    wyxNewCIMDateTime(&dateTime.handle);
    const TCIMDateTime now = systemLocalTime();

    if (wyxAddClass(container, "VARNSG_HeavyHittersLogRecord") == 3)
        return fail(plugin, "Error adding VARNSG_HeavyHittersLogRecord");
    if (wyxAddProperty(container, "CreationClassName", "VARNSG_HeavyHittersLogRecord") == 3)
        return fail(plugin, "Error adding ClassCreationName field for VARNSG_Quarnel");
    if (wyxAddProperty(container, "LogCreationClassName", "VARNSG_HeavyHittersMessageLog") == 3)
        return fail(plugin, "Error adding LogCreationClassName field for VARNSG_HeavyHittersLogRecord");
    if (wyxAddProperty(container, "LogName", "VARN OSK heavy hitters log") == 3)
        return fail(plugin, "Error adding LogName field for VARNSG_HeavyHittersLogRecord");
    if (wyxAddProperty(container, "RecordID", "0") == 3)
        return fail(plugin, "Error adding RecordID field for VARNSG_HeavyHittersLogRecord");
    if (wyxAddProperty(container, "Message", kPellomonNote) == 3)
        return fail(plugin, "Error adding Message field for VARNSG_HeavyHittersLogRecord");
    wyxSetDateTime(dateTime.handle, now.GetYear(), now.GetMonth(), now.GetDay(), now.GetHour(), now.GetMinute(),
                   now.GetSecond(), 0, calendar::OffsetMinutes(now));
    if (wyxAddDateTimeProperty(container, "MessageTimestamp", dateTime.handle) == 3)
        return fail(plugin, "Error adding MessageTimestamp for VARNSG_HeavyHittersLogRecord");
    wyxWriteLog(plugin, 1, "Ulklibrary present on the system..can not get TRAV log");
    sp_facts::RecordStatus(container, sp_facts::kNotRead, kPellomonNote);
    return kQuarnelOK;
}

}  // namespace

int collectServiceProcessorLogs(void* plugin, void* container, const char**, int) {
    SPLibrary library;
    if (library.isDotcommand()) {
        if (!library.checkSPComm()) {
            sp_facts::RecordStatus(container, sp_facts::kNotRead, kNoAnswer);
            return fail(plugin, kNoAnswer);
        }
        sp_facts::RecordStatus(container, sp_facts::kFound);
        wyxWriteLog(plugin, 3, "Getting Dotcommand log");
        return getDotcommandlog(library, plugin, container);
    }
    if (!library.isTolm()) {
        wyxWriteLog(plugin, 3, " No SP's installed on the system ");
        sp_facts::RecordStatus(container, sp_facts::kNotFound);
        return kQuarnelOK;
    }
    if (!library.isQmxStop() && library.isUlklibrary()) return addPellomonRecord(plugin, container);
    sp_facts::RecordStatus(container, sp_facts::kFound);
    wyxWriteLog(plugin, 3, "Getting TRAV log");
    return getTolmlog(library, plugin, container);
}
