#include "trav_log.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "quarnel_plugin.h"
#include "record_header.h"
#include "system_clock.h"
#include "tolm_decoder.h"
#include "vantlib/SPLibrary.h"
#include "wyxcore/calendar.h"
#include "wyxcore/logger.h"
#include "wyxcore/status.h"

namespace {

const int kReplySize = 255;
const int kRequestLength = 33;

// The framework handles of one entry, released however the entry ends.
struct EntryHandles {
    void* valueArray = nullptr;
    void* dateTime = nullptr;
    ~EntryHandles() {
        if (valueArray) wyxDeleteCIMValueArray(valueArray);
        if (dateTime) wyxDeleteCIMDateTime(dateTime);
    }
};

int addEntry(SPLibrary& library, void* plugin, void* container, const unsigned char* reply, int length,
             int recordId) {
    // RecordID comes last here, after the message.
    const RecordHeader header = {"VARNSG_TRAVLog", " ", "TRAVEvent", nullptr,
                                 {"Error adding instance of VARNSG_Quarnel Class",
                                  "Error adding CreationClassName field for VARNSG_Quarnel",
                                  "Error adding LogCreationClassName field for VARNSG_Quarnel",
                                  "Error adding LogName field for VARNSG_Quarnel", nullptr}};
    if (addRecordHeader(plugin, container, header) != kQuarnelOK) return kQuarnelFailed;

    EntryHandles handles;
    if (wyxNewCIMValueArray(&handles.valueArray) == kWyxFailure) {
        handles.valueArray = nullptr;
        return logFailure(plugin, "failed to create CIM value array");
    }
    if (wyxNewCIMDateTime(&handles.dateTime) == kWyxFailure) {
        handles.dateTime = nullptr;
        return logFailure(plugin, "failed to create CIMDateTime");
    }
    const uint32_t stamp = (static_cast<uint32_t>(reply[2]) << 24) | (static_cast<uint32_t>(reply[3]) << 16) |
                           (static_cast<uint32_t>(reply[4]) << 8) | reply[5];
    const TCIMDateTime t = calendar::PointFromSecondsSince1990(stamp, calendar::OffsetMinutes(systemLocalTime()));
    if (wyxSetDateTime(handles.dateTime, t.GetYear(), t.GetMonth(), t.GetDay(), t.GetHour(), t.GetMinute(),
                       t.GetSecond(), 0, calendar::OffsetMinutes(t)) == kWyxFailure)
        return logFailure(plugin, "Error Setting DateTime for VARNSG_Quarnel");
    if (wyxAddDateTimeProperty(container, "MessageTimestamp", handles.dateTime) == kWyxFailure)
        return logFailure(plugin, "Error adding MessageTimestamp for VARNSG_Quarnel");

    const std::string message = decodeTolmEvent(TolmReply(reply, length), library).substr(0, 99);
    if (wyxAddProperty(container, "Message", message.c_str()) == kWyxFailure)
        return logFailure(plugin, "Error adding ErrorData field for VARNSG_Quarnel");
    if (wyxAddProperty(container, "RecordID", std::to_string(recordId).c_str()) == kWyxFailure)
        return logFailure(plugin, "Error adding instance field for VARNSG_Quarnel");
    wyxWriteLog(plugin, kWyxLogDebug, " added to xml file successfully ");
    return kQuarnelOK;
}

}  // namespace

int getTolmlog(SPLibrary& library, void* plugin, void* container) {
    std::unique_ptr<TolmCmd> firstEntry(new TolmCmd(2, 0x90, 0x90, 0x56, nullptr, 0, true, false));
    std::unique_ptr<TolmCmd> nextEntry(new TolmCmd(2, 0x10, 0x90, 0xF0, nullptr, 0, true, false));
    std::vector<unsigned char> reply(kReplySize);
    const int limit = std::getenv("WYX_RETRIEVE_FULL_H8_LOGS") ? 200 : 15;
    bool firstSent = false;
    for (int request = 1; request <= limit; ++request) {
        std::fill(reply.begin(), reply.end(), 0);
        int length = kRequestLength;
        const bool sent = library.sendTolmCommand(firstSent ? nextEntry.get() : firstEntry.get(), &length,
                                                  reply.data());
        firstSent = true;
        length = std::min(length, kReplySize);   // the buffer holds no more
        if (length <= 3) break;                  // end of the log
        if (addEntry(library, plugin, container, reply.data(), length, request) != kQuarnelOK)
            return kQuarnelFailed;
        wyxReportProgress(plugin, "TRAV log, entries read", request, 0);
        if (!sent) break;
    }
    wyxWriteLog(plugin, kWyxLogDebug, "quarnel::getTolmlog() returning....");
    return kQuarnelOK;
}
