#ifndef MACHINE_MACHINE_COLLECTOR_H
#define MACHINE_MACHINE_COLLECTOR_H

#include <string>
#include <utility>
#include <vector>

#include "hardware_facts.h"
#include "wyxcore/plugin.h"

class TContainer;

// A collector of machine facts: each class it is handed goes to the function
// that collects it. A class that cannot be collected is logged as an Error and
// the others are still collected; the notes on missing sources are logged at
// Debug level.
class MachineCollector : public IPluginCallbacks, public IPluginBasicQueryCallbacks {
public:
    using Collect = void (*)(TContainer& container, Notes& notes);
    MachineCollector(std::string name, std::vector<std::pair<std::string, Collect> > classes);
    MachineCollector(const MachineCollector&) = delete;
    MachineCollector& operator=(const MachineCollector&) = delete;

    int GetType() override { return kWyxCollector; }
    std::string GetName() override { return name_; }
    void Query(TContainer* container, const std::vector<std::string>& classNames, int pass) override;

private:
    const std::string name_;
    const std::vector<std::pair<std::string, Collect> > classes_;
};

#endif
