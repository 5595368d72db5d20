#include "machine_collector.h"

#include <exception>
#include <set>

#include "wyxcore/logger.h"
#include "wyxcore/plugin_manager.h"
#include "wyxcore/root_object.h"

MachineCollector::MachineCollector(std::string name, std::vector<std::pair<std::string, Collect> > classes)
    : name_(std::move(name)), classes_(std::move(classes)) {}

void MachineCollector::Query(TContainer* container, const std::vector<std::string>& classNames, int) {
    ILogger* log = TRootObject::GetCoreLogger();
    IPlugin* self = TRootObject::GetPluginManager()->FindPlugin(name_);
    Notes notes;
    for (const std::string& wanted : classNames) {
        for (const auto& entry : classes_) {
            if (entry.first != wanted) continue;
            try {
                entry.second(*container, notes);
            } catch (const std::exception& e) {
                log->Write(self, kWyxLogError, name_ + ": " + wanted + " not collected: " + e.what());
            }
        }
    }
    std::set<std::string> said;
    for (const std::string& note : notes)
        if (said.insert(note).second) log->Write(self, kWyxLogDebug, note);
}
