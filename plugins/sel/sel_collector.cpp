// The "SEL" collector: the management controller's event log, read through
// the OS's own IPMI driver and decoded by the IPMI tables.
#include <algorithm>
#include <exception>

#include "sel_clock.h"
#include "sel_instances.h"
#include "sel_reader.h"
#include "wyxcore/logger.h"
#include "wyxcore/os_specific.h"
#include "wyxcore/plugin.h"
#include "wyxcore/plugin_manager.h"
#include "wyxcore/root_object.h"

namespace {

const char kName[] = "SEL";

class SelCollector : public IPluginCallbacks, public IPluginBasicQueryCallbacks {
public:
    int GetType() override { return kWyxCollector; }
    std::string GetName() override { return kName; }

    // The log is read once for whichever of its classes is wanted.
    void Query(TContainer* container, const std::vector<std::string>& classNames, int) override {
        const bool wanted = std::any_of(classNames.begin(), classNames.end(), [](const std::string& name) {
            return name == sel::kRecordClass || name == sel::kInfoClass;
        });
        if (!wanted) return;
        ILogger* log = TRootObject::GetCoreLogger();
        IPlugin* self = TRootObject::GetPluginManager()->FindPlugin(kName);
        try {
            OpenedTransport opened = ipmi::OpenTransport();
            if (!opened.transport) {
                if (!opened.problem.empty()) log->Write(self, kWyxLogWarning, "sel: " + opened.problem);
                if (!opened.note.empty()) log->Write(self, kWyxLogDebug, opened.note);
                return;
            }
            const SelReadResult read = sel::ReadSel(*opened.transport);
            opened.transport.reset();
            if (!read.answered) {
                log->Write(self, kWyxLogDebug, "No IPMI management controller answered");
                return;
            }
            const SelClock clock =
                read.clockKnown ? SelClock(TOSSpecific::GetLocalTime(), read.controllerClock) : SelClock();
            for (const auto& line : sel::AddSelInstances(*container, read, clock)) log->Write(self, line.first, line.second);
        } catch (const std::exception& e) {
            log->Write(self, kWyxLogError, std::string("SEL: ") + sel::kRecordClass + " not collected: " + e.what());
        }
    }
};

}  // namespace

extern "C" WYX_PLUGIN_EXPORT IPluginCallbacks* wyxCreatePlugin() {
    static SelCollector collector;
    return &collector;
}
