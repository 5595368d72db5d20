// The "Inventory" collector: processors, memory and its modules, disks,
// network adapters and PCI devices.
#include "hardware_facts.h"
#include "instance_builder.h"
#include "machine_collector.h"

namespace {

void addProcessors(TContainer& container, Notes& notes) {
    for (const ProcessorFacts& processor : hardware::Processors(notes))
        InstanceBuilder(container, "VARNSG_Processor")
            .Text("DeviceID", processor.deviceId)
            .Text("Name", processor.model)
            .Text("Manufacturer", processor.manufacturer)
            .Number("NumberOfCores", processor.cores, processor.cores > 0)
            .Number("NumberOfLogicalProcessors", processor.threads, processor.threads > 0)
            .Number("MaxClockSpeed", processor.clockMHz, processor.clockMHz > 0)
            .Commit();
}

void addMemory(TContainer& container, Notes& notes) {
    const MemoryFacts memory = hardware::Memory(notes);
    InstanceBuilder(container, "VARNSG_Memory")
        .Number("TotalPhysicalMemory", memory.totalBytes, memory.totalKnown)
        .Number("ModuleCount", memory.modules.size())
        .Commit();
    for (const MemoryModule& module : memory.modules)
        InstanceBuilder(container, "VARNSG_PhysicalMemory")
            .Text("Tag", module.slot)
            .Text("BankLabel", module.bank)
            .Number("Capacity", module.sizeBytes, module.sizeBytes > 0)
            .Number("Speed", module.speedMHz, module.speedMHz > 0)
            .Text("Manufacturer", module.manufacturer)
            .Text("PartNumber", module.partNumber)
            .Text("SerialNumber", module.serialNumber)
            .Commit();
}

void addDisks(TContainer& container, Notes& notes) {
    for (const DiskFacts& disk : hardware::Disks(notes))
        InstanceBuilder(container, "VARNSG_DiskDrive")
            .Text("DeviceID", disk.deviceId)
            .Text("Model", disk.model)
            .Text("SerialNumber", disk.serialNumber)
            .Text("FirmwareRevision", disk.firmwareRevision)
            .Text("InterfaceType", disk.bus)
            .Text("Status", disk.state)
            .Number("Size", disk.sizeBytes, disk.sizeKnown)
            .Commit();
}

void addAdapters(TContainer& container, Notes& notes) {
    for (const AdapterFacts& adapter : hardware::Adapters(notes))
        InstanceBuilder(container, "VARNSG_NetworkAdapter")
            .Text("Name", adapter.name)
            .Text("Description", adapter.description)
            .Text("MACAddress", adapter.macAddress)
            .Text("Status", adapter.state)
            .Text("Driver", adapter.driver)
            .Text("DriverVersion", adapter.driverVersion)
            .Number("Speed", adapter.speedBitsPerSecond, adapter.speedKnown)
            .Commit();
}

void addPciDevices(TContainer& container, Notes& notes) {
    for (const PciFacts& device : hardware::PciDevices(notes))
        InstanceBuilder(container, "VARNSG_PCIDevice")
            .Text("DeviceID", device.slot)
            .Text("VendorID", device.vendorId)
            .Text("ProductID", device.deviceId)
            .Text("SubsystemID", device.subsystemId)
            .Text("ClassCode", device.classCode)
            .Text("Manufacturer", device.manufacturer)
            .Text("Name", device.name)
            .Text("Driver", device.driver)
            .Commit();
}

}  // namespace

extern "C" WYX_PLUGIN_EXPORT IPluginCallbacks* wyxCreatePlugin() {
    static MachineCollector collector("Inventory", {{"VARNSG_Processor", addProcessors},
                                                    {"VARNSG_Memory", addMemory},
                                                    {"VARNSG_DiskDrive", addDisks},
                                                    {"VARNSG_NetworkAdapter", addAdapters},
                                                    {"VARNSG_PCIDevice", addPciDevices}});
    return &collector;
}
