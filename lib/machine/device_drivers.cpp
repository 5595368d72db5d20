#include "device_drivers.h"

#include <set>

#include <boost/algorithm/string/predicate.hpp>

namespace devicedrivers {

std::string RegistryText(const std::string& raw) {
    return raw.substr(0, raw.find('\0'));
}

std::vector<DriverFacts> Distinct(const std::vector<DeviceDriverRecord>& records, size_t limit) {
    std::vector<DriverFacts> drivers;
    std::set<std::string> seen;
    for (const DeviceDriverRecord& record : records) {
        if (drivers.size() >= limit) break;
        const std::string& name = record.service.empty() ? record.description : record.service;
        if (name.empty() || record.version.empty() || !seen.insert(name).second) continue;
        drivers.push_back({name, record.version, record.provider, record.date, record.description});
    }
    return drivers;
}

const DeviceDriverRecord* ForAdapter(const std::vector<DeviceDriverRecord>& records, const std::string& adapterName) {
    if (adapterName.empty()) return nullptr;
    for (const DeviceDriverRecord& record : records)
        if (boost::algorithm::iequals(record.netCfgInstanceId, adapterName)) return &record;
    return nullptr;
}

}  // namespace devicedrivers
