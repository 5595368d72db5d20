#include "record_header.h"

#include "quarnel_plugin.h"
#include "wyxcore/status.h"

int addRecordHeader(void* plugin, void* container, const RecordHeader& header) {
    const RecordHeader::Failures& failed = header.failures;
    if (wyxAddClass(container, header.className) == kWyxFailure) return logFailure(plugin, failed.addClass);
    if (wyxAddProperty(container, "CreationClassName", header.className) == kWyxFailure)
        return logFailure(plugin, failed.creationClassName);
    if (wyxAddProperty(container, "LogCreationClassName", header.logCreationClassName) == kWyxFailure)
        return logFailure(plugin, failed.logCreationClassName);
    if (wyxAddProperty(container, "LogName", header.logName) == kWyxFailure)
        return logFailure(plugin, failed.logName);
    if (header.recordId && wyxAddProperty(container, "RecordID", header.recordId) == kWyxFailure)
        return logFailure(plugin, failed.recordId);
    return kQuarnelOK;
}
