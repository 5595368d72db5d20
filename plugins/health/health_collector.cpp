// The "Health" collector: what the hardware counts about its own health.
#include <exception>
#include <set>

#include "health_source.h"
#include "instance_builder.h"
#include "wyxcore/calendar.h"
#include "wyxcore/logger.h"
#include "wyxcore/plugin.h"
#include "wyxcore/plugin_manager.h"
#include "wyxcore/root_object.h"

namespace {

const char kName[] = "Health";

using Problems = std::vector<std::string>;

// One row built; a value its class refuses costs that row alone.
template <typename Build>
void row(const char* className, const std::string& key, Problems& problems, Build build) {
    try {
        build();
    } catch (const std::exception& e) {
        problems.push_back(std::string(kName) + ": " + className + " " + key + " not collected: " + e.what());
    }
}

void count(InstanceBuilder& builder, const char* name, const Count& value) {
    builder.Number(name, value.value, value.known);
}

void addDimms(TContainer& container, const HealthFacts& facts, Problems& problems) {
    for (const MemoryCounterFacts& dimm : facts.dimms)
        row("VARNSG_MemoryErrorCounter", dimm.label, problems, [&] {
            InstanceBuilder builder(container, "VARNSG_MemoryErrorCounter");
            builder.Text("Source", dimm.source).Text("Controller", dimm.controller).Text("Label", dimm.label);
            builder.Text("Location", dimm.location).Text("MemoryType", dimm.memoryType);
            count(builder, "SizeMB", dimm.sizeMB);
            count(builder, "CorrectedCount", dimm.corrected);
            count(builder, "UncorrectedCount", dimm.uncorrected);
            builder.Commit();
        });
}

void addControllers(TContainer& container, const HealthFacts& facts, Problems& problems) {
    for (const MemoryControllerFacts& mc : facts.controllers)
        row("VARNSG_MemoryControllerErrors", mc.controller, problems, [&] {
            InstanceBuilder builder(container, "VARNSG_MemoryControllerErrors");
            builder.Text("Source", mc.source).Text("Controller", mc.controller).Text("Name", mc.name);
            count(builder, "CorrectedCount", mc.corrected);
            count(builder, "UncorrectedCount", mc.uncorrected);
            count(builder, "CorrectedNoInfoCount", mc.correctedNoInfo);
            count(builder, "UncorrectedNoInfoCount", mc.uncorrectedNoInfo);
            count(builder, "SecondsSinceReset", mc.secondsSinceReset);
            builder.Commit();
        });
}

void addPciDevices(TContainer& container, const HealthFacts& facts, Problems& problems) {
    for (const PciErrorFacts& device : facts.pciDevices)
        row("VARNSG_PCIErrorCounter", device.address, problems, [&] {
            InstanceBuilder builder(container, "VARNSG_PCIErrorCounter");
            builder.Text("Source", device.source).Text("Address", device.address).Text("Name", device.name);
            count(builder, "CorrectableCount", device.correctable);
            count(builder, "NonFatalCount", device.nonFatal);
            count(builder, "FatalCount", device.fatal);
            if (!device.counters.empty()) builder.Value("Counters", TCIMValue::Array(kCIMString, device.counters));
            builder.Commit();
        });
}

void addDisks(TContainer& container, const HealthFacts& facts, Problems& problems) {
    for (const DiskHealthFacts& disk : facts.disks)
        row("VARNSG_DiskHealth", disk.deviceId, problems, [&] {
            InstanceBuilder builder(container, "VARNSG_DiskHealth");
            builder.Text("Source", disk.source).Text("DeviceID", disk.deviceId).Text("Model", disk.model);
            builder.Text("SerialNumber", disk.serialNumber).Text("Firmware", disk.firmware);
            builder.Text("Protocol", disk.protocol).Text("Assessment", disk.assessment);
            if (disk.temperatureKnown)
                builder.Value("Temperature", TCIMValue::FromText(kCIMSInt64, std::to_string(disk.temperature)));
            count(builder, "PowerOnHours", disk.powerOnHours);
            builder.Number("ToolExitStatus", disk.toolStatus, disk.toolStatusKnown);
            const struct {
                const char* name;
                const Count& value;
            } counters[] = {
                {"ReallocatedSectors", disk.reallocated},
                {"PendingSectors", disk.pending},
                {"OfflineUncorrectable", disk.offlineUncorrectable},
                {"ReportedUncorrectable", disk.reportedUncorrectable},
                {"CRCErrors", disk.crcErrors},
                {"CriticalWarning", disk.criticalWarning},
                {"MediaErrors", disk.mediaErrors},
                {"PercentageUsed", disk.percentageUsed},
                {"AvailableSpare", disk.availableSpare},
                {"AvailableSpareThreshold", disk.spareThreshold},
                {"UnsafeShutdowns", disk.unsafeShutdowns},
                {"GrownDefects", disk.grownDefects},
                {"UncorrectedErrors", disk.uncorrectedErrors},
            };
            for (const auto& counter : counters) count(builder, counter.name, counter.value);
            builder.Commit();
        });
}

void addAttributes(TContainer& container, const HealthFacts& facts, Problems& problems) {
    for (const DiskHealthFacts& disk : facts.disks) {
        for (const SmartAttributeFacts& attribute : disk.attributes)
            row("VARNSG_DiskSMARTAttribute", disk.deviceId, problems, [&] {
                InstanceBuilder builder(container, "VARNSG_DiskSMARTAttribute");
                builder.Text("Source", disk.source).Text("DeviceID", disk.deviceId).Text("Name", attribute.name);
                builder.Number("AttributeID", attribute.id);
                count(builder, "Value", attribute.value);
                count(builder, "Worst", attribute.worst);
                count(builder, "Threshold", attribute.threshold);
                builder.Text("Raw", attribute.raw).Text("WhenFailed", attribute.whenFailed);
                builder.Commit();
            });
    }
}

void addRecords(TContainer& container, const HealthFacts& facts, Problems& problems) {
    for (const HardwareErrorFacts& record : facts.records)
        row("VARNSG_HardwareErrorRecord", record.recordId, problems, [&] {
            InstanceBuilder builder(container, "VARNSG_HardwareErrorRecord");
            builder.Text("Source", record.source).Text("RecordID", record.recordId).Text("Severity", record.severity);
            builder.Text("Kind", record.kind).Text("Component", record.component).Text("Message", record.message);
            int64_t micros = 0;
            TCIMDateTime point;
            if (record.timeKnown && calendar::EpochMicrosFromSeconds(record.unixSeconds, &micros) &&
                calendar::UtcFromEpochMicros(micros, &point))
                builder.Value("MessageTimestamp", TCIMValue(point));
            builder.Commit();
        });
}

class HealthCollector : public IPluginCallbacks, public IPluginBasicQueryCallbacks {
public:
    int GetType() override { return kWyxCollector; }
    std::string GetName() override { return kName; }

    void Query(TContainer* container, const std::vector<std::string>& classNames, int) override {
        ILogger* log = TRootObject::GetCoreLogger();
        IPlugin* self = TRootObject::GetPluginManager()->FindPlugin(kName);
        using Add = void (*)(TContainer&, const HealthFacts&, Problems&);
        static const struct {
            const char* className;
            Add add;
        } kClasses[] = {
            {"VARNSG_MemoryErrorCounter", addDimms},      {"VARNSG_MemoryControllerErrors", addControllers},
            {"VARNSG_PCIErrorCounter", addPciDevices},    {"VARNSG_DiskHealth", addDisks},
            {"VARNSG_DiskSMARTAttribute", addAttributes}, {"VARNSG_HardwareErrorRecord", addRecords},
        };
        try {
            HealthFacts facts = health::Collect();
            for (const std::string& wanted : classNames) {
                for (const auto& entry : kClasses) {
                    if (wanted != entry.className) continue;
                    if (!container->FindClass(wanted)) {
                        log->Write(self, kWyxLogError,
                                   std::string(kName) + ": " + wanted + " not collected: the schema lacks it");
                        continue;
                    }
                    try {
                        entry.add(*container, facts, facts.problems);
                    } catch (const std::exception& e) {
                        log->Write(self, kWyxLogError,
                                   std::string(kName) + ": " + wanted + " not collected: " + e.what());
                    }
                }
            }
            std::set<std::string> said;
            for (const std::string& problem : facts.problems)
                if (said.insert(problem).second) log->Write(self, kWyxLogError, problem);
            for (const std::string& note : facts.notes)
                if (said.insert(note).second) log->Write(self, kWyxLogDebug, note);
        } catch (const std::exception& e) {
            log->Write(self, kWyxLogError, std::string(kName) + ": not collected: " + e.what());
        }
    }
};

}  // namespace

extern "C" WYX_PLUGIN_EXPORT IPluginCallbacks* wyxCreatePlugin() {
    static HealthCollector collector;
    return &collector;
}
