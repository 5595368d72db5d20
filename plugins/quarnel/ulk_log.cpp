#include "ulk_log.h"

#include <algorithm>
#include <string>
#include <vector>

#include "clock_normaliser.h"
#include "dot_command.h"
#include "entry_format.h"
#include "quarnel_plugin.h"
#include "record_header.h"
#include "vantlib/SPLibrary.h"
#include "wyxcore/logger.h"
#include "wyxcore/os_specific.h"
#include "wyxcore/status.h"

namespace {

const unsigned char kLogPath[] = {3, 2};
const unsigned char kFirstEntry = 2, kNextEntry = 3;
// A processor that fails this many log-entry commands in a row is given up.
const int kMaxFailedInRow = 16;

int addLeadingProperties(void* plugin, void* container, int recordId) {
    const std::string id = std::to_string(recordId);
    const RecordHeader header = {"VARNSG_ULKLog", " ", "ULKEvent", id.c_str(),
                                 {"Error adding VARNSG_Quarnel", "Error adding ClassCreationName field for VARNSG_Quarnel",
                                  "Error adding LogCreationClassName field for VARNSG_Quarnel",
                                  "Error adding LogName field for VARNSG_Quarnel",
                                  "Error adding RecordID field for VARNSG_Quarnel"}};
    return addRecordHeader(plugin, container, header);
}

// One processor's log, entry by entry. The reply length is shared by every
// command of the call.
int readProcessorLog(SPLibrary& library, const EntryFormatContext& context, std::vector<unsigned char>& reply,
                     int* length, int* record) {
    bool notFirst = false;
    int failedInRow = 0;
    const std::string progress = "processor " + std::to_string(context.processor + 1) + " log, entries read";
    uint32_t read = 0;
    for (;;) {
        // The first command is sent whatever an earlier command left in the length.
        if (notFirst && *length == 0) break;
        std::fill(reply.begin(), reply.end(), 0);
        const bool sent = sendDotCommand(library, notFirst ? kNextEntry : kFirstEntry, kLogPath, 2, reply.data(),
                                         length, context.processor);
        notFirst = true;
        if (!sent) {
            wyxWriteLog(context.plugin, kWyxLogError, " cmd failed ");
            if (++failedInRow >= kMaxFailedInRow) {
                wyxWriteLog(context.plugin, kWyxLogError,
                            "Too many failed commands; skipping the rest of this processor's log");
                break;
            }
            continue;
        }
        failedInRow = 0;
        if (*length <= 0) {
            wyxWriteLog(context.plugin, kWyxLogDebug, "No more log entries to be read ");
            break;
        }
        if (addLeadingProperties(context.plugin, context.container, ++*record) != kQuarnelOK) return kQuarnelFailed;
        if (!decodeUlkEntry(context, reply.data(), std::min(*length, kDotReplySize))) return kQuarnelFailed;
        wyxReportProgress(context.plugin, progress.c_str(), ++read, 0);
    }
    return kQuarnelOK;
}

}  // namespace

int getDotcommandlog(SPLibrary& library, void* plugin, void* container) {
    std::vector<unsigned char> reply(kDotReplySize);
    int length = 1;
    const char* path = nullptr;
    if (wyxGetPluginPath(plugin, &path) == kWyxFailure) return logFailure(plugin, "wyxGetPluginPath failed! ");
    const std::string pluginPath = path ? path : "";
    const size_t at = pluginPath.find("quarnel" + TOSSpecific::kPluginExtension);
    if (at == std::string::npos) return logFailure(plugin, "Incorrect path name ");

    ClockNormaliser clock(plugin, container);
    EntryFormatContext context = {plugin, container, pluginPath.substr(0, at) + "quarnelentry.txt", 0, 0, &clock};
    context.processorCount = library.discoverSPs();
    int record = 0;
    for (context.processor = 0; context.processor < context.processorCount; ++context.processor) {
        clock.beginProcessor(library, context.processor, reply.data(), &length);
        if (readProcessorLog(library, context, reply, &length, &record) != kQuarnelOK) return kQuarnelFailed;
    }
    clock.logSummary();
    wyxWriteLog(plugin, kWyxLogDebug, "quarnel::getDotcommandlog() returning ..");
    return kQuarnelOK;
}
