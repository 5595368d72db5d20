#ifndef MACHINE_DEVICE_DRIVERS_H
#define MACHINE_DEVICE_DRIVERS_H

#include <cstddef>
#include <string>
#include <vector>

#include "hardware_facts.h"

// One device's driver as the device list and the driver's registry key state
// it: the service that drives the device and the installed driver's version,
// provider and date.
struct DeviceDriverRecord {
    std::string service;
    std::string description;      // the device's
    std::string version;
    std::string provider;
    std::string date;
    std::string netCfgInstanceId;  // network adapters only: the adapter's name
};

namespace devicedrivers {

// A machine has a few hundred; a list beyond this is not believed.
const size_t kDriverLimit = 2000;
// Bytes read of one registry value.
const size_t kValueLimit = 1024;

// The text of a registry string value's raw bytes: up to the first NUL, as
// stored, whether or not the data ends with one.
std::string RegistryText(const std::string& raw);

// One driver per service (per device description where there is no
// service), in order of first appearance, the first device's version kept;
// devices without a version are left out; at most limit.
std::vector<DriverFacts> Distinct(const std::vector<DeviceDriverRecord>& records, size_t limit);

// The driver of the network adapter of that name (a GUID in braces, compared
// regardless of case); null when no device claims it.
const DeviceDriverRecord* ForAdapter(const std::vector<DeviceDriverRecord>& records, const std::string& adapterName);

}  // namespace devicedrivers

#endif
