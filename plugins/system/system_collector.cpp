// The "System" collector: the computer system's identity when asked for it by
// name, and the operating system in the passes.
#include <algorithm>

#include "machine_facts.h"
#include "wyxcore/container.h"
#include "wyxcore/exception.h"
#include "wyxcore/plugin.h"
#include "wyxcore/status.h"

namespace {

const char* const kComputerSystem = "VARNSG_ComputerSystem";
const char* const kOperatingSystem = "VARNSG_OperatingSystem";

TCIMClass* requireClass(TContainer* container, const char* name) {
    TCIMClass* cimClass = container->FindClass(name);
    if (!cimClass) throw TWYXException(kWyxUnknownClass, name);
    return cimClass;
}

// Only values that could be read are set: an absent value stays absent.
void setIfKnown(TCIMInstance* instance, const char* name, const std::string& value) {
    if (!value.empty()) instance->SetPropertyValue(name, TCIMValue(value));
}

void addComputerSystem(TContainer* container) {
    TCIMInstance* instance = new TCIMInstance(requireClass(container, kComputerSystem));
    try {
        const MachineIdentity identity = machine::Identity();
        instance->SetPropertyValue("CreationClassName", TCIMValue(kComputerSystem));
        setIfKnown(instance, "Name", machine::HostName());
        setIfKnown(instance, "Manufacturer", identity.manufacturer);
        setIfKnown(instance, "Model", identity.model);
        setIfKnown(instance, "SerialNumber", identity.serialNumber);
        instance->SetPropertyValue("CMCMTM", TCIMValue(""));
    } catch (...) {
        delete instance;
        throw;
    }
    instance->Commit();
}

void addOperatingSystem(TContainer* container) {
    TCIMInstance* instance = new TCIMInstance(requireClass(container, kOperatingSystem));
    try {
        const OperatingSystemFacts facts = machine::OperatingSystem();
        instance->SetPropertyValue("CreationClassName", TCIMValue(kOperatingSystem));
        setIfKnown(instance, "CSName", machine::HostName());
        setIfKnown(instance, "Name", facts.name);
        setIfKnown(instance, "Version", facts.version);
        if (facts.bootTimeKnown) instance->SetPropertyValue("LastBootUpTime", TCIMValue(facts.bootTime));
    } catch (...) {
        delete instance;
        throw;
    }
    instance->Commit();
}

class SystemCollector : public IPluginCallbacks, public IPluginBasicQueryCallbacks {
public:
    int GetType() override { return kWyxCollector; }
    std::string GetName() override { return "System"; }
    void Query(TContainer* container, const std::vector<std::string>& classNames, int) override {
        for (const std::string& name : classNames) {
            if (name == kComputerSystem) addComputerSystem(container);
            else if (name == kOperatingSystem) addOperatingSystem(container);
        }
    }
};

}  // namespace

extern "C" WYX_PLUGIN_EXPORT IPluginCallbacks* wyxCreatePlugin() {
    static SystemCollector collector;
    return &collector;
}
