#ifndef MACHINE_DEVICE_REGISTRY_H
#define MACHINE_DEVICE_REGISTRY_H

#include <vector>

#include "device_drivers.h"
#include "hardware_facts.h"

namespace hardware {

// Every present device's driver from SetupAPI and the driver's key under the
// device classes, at most a bounded number of devices.
std::vector<DeviceDriverRecord> DeviceDrivers(Notes& notes);

}  // namespace hardware

#endif
