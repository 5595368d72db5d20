// One collection: which service processor the server has, and which log to read.
#include "quarnel_plugin.h"
#include "record_header.h"
#include "sp_facts.h"
#include "system_clock.h"
#include "trav_log.h"
#include "ulk_log.h"
#include "vantlib/SPLibrary.h"
#include "wyxcore/calendar.h"
#include "wyxcore/logger.h"
#include "wyxcore/status.h"

namespace {

const char kPellomonNote[] = "TRAV logs are not being collected due to the presence of Pellomon.";
const char kNoAnswer[] = "Unknown Error Code, Possible causes: Driver/SP failure!";

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

    const RecordHeader header = {"VARNSG_HeavyHittersLogRecord", "VARNSG_HeavyHittersMessageLog",
                                 "VARN OSK heavy hitters log", "0",
                                 {"Error adding VARNSG_HeavyHittersLogRecord",
                                  "Error adding ClassCreationName field for VARNSG_Quarnel",
                                  "Error adding LogCreationClassName field for VARNSG_HeavyHittersLogRecord",
                                  "Error adding LogName field for VARNSG_HeavyHittersLogRecord",
                                  "Error adding RecordID field for VARNSG_HeavyHittersLogRecord"}};
    if (addRecordHeader(plugin, container, header) != kQuarnelOK) return kQuarnelFailed;
    if (wyxAddProperty(container, "Message", kPellomonNote) == kWyxFailure)
        return logFailure(plugin, "Error adding Message field for VARNSG_HeavyHittersLogRecord");
    wyxSetDateTime(dateTime.handle, now.GetYear(), now.GetMonth(), now.GetDay(), now.GetHour(), now.GetMinute(),
                   now.GetSecond(), 0, calendar::OffsetMinutes(now));
    if (wyxAddDateTimeProperty(container, "MessageTimestamp", dateTime.handle) == kWyxFailure)
        return logFailure(plugin, "Error adding MessageTimestamp for VARNSG_HeavyHittersLogRecord");
    wyxWriteLog(plugin, kWyxLogWarning, "Ulklibrary present on the system..can not get TRAV log");
    sp_facts::RecordStatus(container, sp_facts::kNotRead, kPellomonNote);
    return kQuarnelOK;
}

}  // namespace

int collectServiceProcessorLogs(void* plugin, void* container, const char**, int) {
    SPLibrary library;
    if (library.isDotcommand()) {
        if (!library.checkSPComm()) {
            sp_facts::RecordStatus(container, sp_facts::kNotRead, kNoAnswer);
            return logFailure(plugin, kNoAnswer);
        }
        sp_facts::RecordStatus(container, sp_facts::kFound);
        wyxWriteLog(plugin, kWyxLogDebug, "Getting Dotcommand log");
        return getDotcommandlog(library, plugin, container);
    }
    if (!library.isTolm()) {
        wyxWriteLog(plugin, kWyxLogDebug, " No SP's installed on the system ");
        sp_facts::RecordStatus(container, sp_facts::kNotFound);
        return kQuarnelOK;
    }
    if (!library.isQmxStop() && library.isUlklibrary()) return addPellomonRecord(plugin, container);
    sp_facts::RecordStatus(container, sp_facts::kFound);
    wyxWriteLog(plugin, kWyxLogDebug, "Getting TRAV log");
    return getTolmlog(library, plugin, container);
}
