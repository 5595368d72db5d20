// The core log of the run turned into log records in the container, and the
// container written through the XML writer.
#include <exception>
#include <memory>

#include <boost/lexical_cast.hpp>

#include "collector_app.h"
#include "masker.h"
#include "wyxcore/container.h"
#include "wyxcore/logger.h"
#include "wyxcore/plugin.h"
#include "wyxcore/plugin_call.h"
#include "wyxcore/root_object.h"
#include "wyxcore/status.h"

namespace {

const char* const kCoreLogClass = "VARNSG_OSKMessageLog";
const char* const kCoreLogName = "VARN OSK core log";
const char* const kHeavyLogClass = "VARNSG_HeavyHittersMessageLog";
const char* const kHeavyLogName = "VARN OSK heavy hitters log";
const char* const kCoreRecordClass = "VARNSG_OSKLogRecord";
const char* const kHeavyRecordClass = "VARNSG_HeavyHittersLogRecord";

// Creates the log's instance unless the container has one already.
void ensureLogInstance(TCIMClass* cls, const char* name) {
    if (!cls->EnumerateInstances(true).empty()) return;
    std::unique_ptr<TCIMInstance> instance(new TCIMInstance(cls));
    instance->SetPropertyValue("CreationClassName", TCIMValue(cls->GetName()));
    instance->SetPropertyValue("Name", TCIMValue(name));
    instance.release()->Commit();
}

}  // namespace

void CollectorApp::writeXmlWithRunLog(TContainer* container, bool announce, std::string xmlPath) {
    if (announce) writeConsole("Adding VARN OSK log entries to XML file.\n");
    try {
        const char* const logClasses[] = {kCoreLogClass, kHeavyLogClass};
        const char* const logNames[] = {kCoreLogName, kHeavyLogName};
        for (int i = 0; i < 2; ++i) {
            TCIMClass* cls = container->FindClass(logClasses[i]);
            if (!cls) {
                writeConsole(std::string("ERROR: Couldn't find ") + logClasses[i] + "\n");
                exitProgram(1);
            }
            ensureLogInstance(cls, logNames[i]);
        }
        TCIMClass* coreRecords = container->FindClass(kCoreRecordClass);
        TCIMClass* heavyRecords = coreRecords ? container->FindClass(kHeavyRecordClass) : nullptr;
        if (!coreRecords || !heavyRecords) {
            writeConsole(std::string("ERROR: Couldn't find ") + (coreRecords ? kHeavyRecordClass : kCoreRecordClass) +
                         "\n");
            exitProgram(1);
        }

        ILogger* logger = TRootObject::GetCoreLogger();
        const std::vector<TLogEntry> entries = logger->GetEntries();
        unsigned counter = 0;
        for (const TLogEntry& entry : entries) {
            std::unique_ptr<TCIMInstance> record;
            if (entry.type == kWyxLogHeavyHitter) {
                record.reset(new TCIMInstance(heavyRecords));
                record->SetPropertyValue("CreationClassName", TCIMValue(kHeavyRecordClass));
                record->SetPropertyValue("LogName", TCIMValue(kHeavyLogName));
                record->SetPropertyValue("LogCreationClassName", TCIMValue(kHeavyLogClass));
            } else {
                record.reset(new TCIMInstance(coreRecords));
                const std::string source = entry.source ? entry.source->GetCallbacks()->GetName() : "Core";
                record->SetPropertyValue("Source", TCIMValue(source));
                record->SetPropertyValue("Type", TCIMValue(static_cast<uint16_t>(entry.type & 0xFFFF)));
                record->SetPropertyValue("CreationClassName", TCIMValue(kCoreRecordClass));
                record->SetPropertyValue("LogName", TCIMValue(kCoreLogName));
                record->SetPropertyValue("LogCreationClassName", TCIMValue(kCoreLogClass));
            }
            record->SetPropertyValue("Message", TCIMValue(entry.message));
            record->SetPropertyValue("MessageTimestamp", TCIMValue(entry.timestamp));
            record->SetPropertyValue("RecordID", TCIMValue(boost::lexical_cast<std::string>(counter)));
            if (masker) masker->MaskInstance(record.get());
            record.release()->Commit();
            ++counter;
        }
        logger->ClearEntries();
    } catch (const std::exception& e) {
        writeConsole(std::string("ERROR: Exception ") + e.what() +
                     " thrown when adding VARN OSK log entries to XML file.\n");
    }

    // The map is on disk before the first masked output is.
    if (masker) saveMaskMap();
    if (announce) writeConsole("Writing XML data to file " + xmlPath + "\n");
    IPluginWriteCallbacks* writer =
        xmlWriter ? dynamic_cast<IPluginWriteCallbacks*>(xmlWriter->GetCallbacks()) : nullptr;
    if (!writer) return;
    try {
        CallPlugin(xmlWriter->GetFileName(), kWyxPluginFailed, [&] { writer->WriteContainer(container, xmlPath); });
    } catch (const std::exception&) {
        writeConsole("ERROR: Couldn't write XML file.\n");
        exitProgram(1);
    }
}
