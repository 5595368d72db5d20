// The "OS Log" collector: the operating system's own errors and warnings of
// the last 30 days, with UTC time stamps so they sort into one timeline with
// the service processor's logs.
#include "instance_builder.h"
#include "log_record.h"
#include "machine_collector.h"
#include "wyxcore/calendar.h"

namespace {

void addRecords(TContainer& container, Notes& notes) {
    const oslog::LogSource source = oslog::ReadSystemLog(notes);
    for (const LogRecord& record : source.records) {
        InstanceBuilder builder(container, "VARNSG_OSEventLogRecord");
        builder.Text("LogName", source.logName)
            .Text("RecordID", record.recordId)
            .Text("Source", record.source)
            .Text("Severity", record.severity)
            .Text("EventID", record.eventId)
            .Text("Message", record.message);
        TCIMDateTime stamp;
        if (record.dated && calendar::UtcFromEpochMicros(record.utcMicros, &stamp))
            builder.Value("MessageTimestamp", TCIMValue(stamp));
        builder.Commit();
    }
}

}  // namespace

extern "C" WYX_PLUGIN_EXPORT IPluginCallbacks* wyxCreatePlugin() {
    static MachineCollector collector("OS Log", {{"VARNSG_OSEventLogRecord", addRecords}});
    return &collector;
}
