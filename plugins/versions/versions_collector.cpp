// The "Versions" collector: one identity per piece of software or firmware
// that states a version, so the version checker finds what a catalog names.
#include <set>

#include "hardware_facts.h"
#include "instance_builder.h"
#include "machine_collector.h"
#include "software_facts.h"
#include "vantlib/SPLibrary.h"

namespace {

const char kIdentityClass[] = "VARNSG_SoftwareIdentity";

void add(TContainer& container, const SoftwareFacts& facts) {
    if (facts.version.empty()) return;
    InstanceBuilder(container, kIdentityClass)
        .Text("Name", facts.name)
        .Text("Version", facts.version)
        .Text("Kind", facts.kind)
        .Text("Manufacturer", facts.manufacturer)
        .Text("Caption", facts.caption)
        .Text("ReleaseDate", facts.releaseDate)
        .Commit();
}

void addFirmware(TContainer& container, Notes& notes) {
    const BiosFacts bios = hardware::Firmware(notes).bios;
    add(container, {"BIOS", bios.version, "BIOS", bios.vendor, "", bios.releaseDate});
    SPLibrary sp;
    std::string version;
    if (sp.getFirmwareVersion(&version))
        add(container, {"Service processor firmware", version, "Service processor firmware", "", "", ""});
    else
        notes.push_back("No service processor firmware version");
    for (const DiskFacts& disk : hardware::Disks(notes))
        add(container, {disk.model.empty() ? disk.deviceId : disk.model, disk.firmwareRevision, "Disk firmware", "",
                        disk.deviceId, ""});
}

void addSoftware(TContainer& container, Notes& notes) {
    for (const SoftwareFacts& os : software::OperatingSystem(notes)) add(container, os);
    std::set<std::string> drivers;
    for (const DriverFacts& driver : hardware::Drivers(notes))
        if (drivers.insert(driver.name).second) add(container, {driver.name, driver.version, "Driver", driver.manufacturer, driver.description,
                            driver.releaseDate});
    for (const AdapterFacts& adapter : hardware::Adapters(notes))
        if (drivers.insert(adapter.driver).second)
            add(container, {adapter.driver, adapter.driverVersion, "Driver", "", adapter.name, ""});
    for (const SoftwareFacts& package : software::Packages(notes)) add(container, package);
}

// Every identity is one class; its parts are collected one after the other.
void addIdentities(TContainer& container, Notes& notes) {
    addFirmware(container, notes);
    addSoftware(container, notes);
}

}  // namespace

extern "C" WYX_PLUGIN_EXPORT IPluginCallbacks* wyxCreatePlugin() {
    static MachineCollector collector("Versions", {{kIdentityClass, addIdentities}});
    return &collector;
}
