// The collector passes, the computer-system marking, the
// analysis and the version check.
#include <chrono>
#include <cstdlib>

#include "collector_app.h"
#include "wyxcore/collector_run.h"
#include "wyxcore/container.h"
#include "wyxcore/exception.h"
#include "wyxcore/flat.h"
#include "wyxcore/logger.h"
#include "wyxcore/os_specific.h"
#include "wyxcore/plugin.h"
#include "wyxcore/plugin_call.h"
#include "wyxcore/plugin_manager.h"
#include "wyxcore/query_manager.h"
#include "wyxcore/root_object.h"
#include "wyxcore/schema_helper.h"
#include "wyxcore/status.h"

std::string CollectorApp::dumpPath() const {
    if (!dumpXml) return std::string();
    return outputDir + TOSSpecific::kFileSeparator + "OSK_Output_" + timeStamp() + ".xml.gz";
}

void CollectorApp::runCollection(TContainer* container, const std::string& dump) {
    try {
        writeConsole("Running collector plug-ins pass 1.\n");
        IPlugin* system = nullptr;
        for (const boost::shared_ptr<IPlugin>& plugin : TRootObject::GetPluginManager()->GetPlugins()) {
            if (plugin->GetCallbacks() && plugin->GetCallbacks()->GetName() == "System") {
                system = plugin.get();
                break;
            }
        }
        if (!system || !system->IsLoaded()) {
            writeConsole("ERROR: System plug-in not found\n");
            exitProgram(1);
        }
        recordRefusedPlugins(container);
        runRecorded(system, container, std::vector<std::string>(1, "VARNSG_ComputerSystem"), 0, "computer system");
        runCollectorPass(container, 0, dump);
        writeConsole("\nRunning collector plug-ins pass 2.\n");
        runCollectorPass(container, 1, dump);
        writeConsole("\n");
    } catch (const TWYXException& e) {
        writeConsole(std::string("ERROR: RunQuery returned exception code ") + wyxTranslateStatusCode(e.GetStatus()) +
                     "\n");
        exitProgram(1);
    }
}

namespace {

size_t instanceCount(const TContainer* container) {
    size_t count = 0;
    for (const TCIMClass* cimClass : container->GetClasses()) count += cimClass->GetInstanceCount();
    return count;
}

// A schema that declares the class otherwise than the program does costs the
// record, not the run.
void keep(TContainer* container, const collector_run::Step& record) {
    try {
        collector_run::Add(container, record);
    } catch (const TWYXException&) {
    }
}

// Keeps what a collector step did in the collection, so that a report can say
// which collectors ran and what each added; the console and the core log stay
// as they are.
void recordStep(TContainer* container, IPlugin* plugin, const std::string& step, collector_run::Outcome outcome,
                size_t added, std::chrono::steady_clock::duration took) {
    collector_run::Step record;
    record.collector = plugin->GetCallbacks() ? plugin->GetCallbacks()->GetName() : std::string();
    record.selection = PluginSelectionName(plugin->GetFileName());
    record.step = step;
    record.outcome = outcome;
    record.instancesAdded = added;
    record.milliseconds =
        static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(took).count());
    keep(container, record);
}

}  // namespace

void CollectorApp::recordRefusedPlugins(TContainer* container) {
    for (const TRefusedPlugin& refused : TRootObject::GetPluginManager()->GetRefused()) {
        collector_run::Step record;
        const size_t slash = refused.fileName.find_last_of(TOSSpecific::kFileSeparator);
        record.collector = slash == std::string::npos ? refused.fileName : refused.fileName.substr(slash + 1);
        record.selection = PluginSelectionName(refused.fileName);
        record.step = "loading";
        record.outcome = collector_run::Outcome::kNotLoaded;
        record.reason = refused.reason;
        keep(container, record);
    }
}

void CollectorApp::runRecorded(IPlugin* plugin, TContainer* container, const std::vector<std::string>& classes,
                               int pass, const std::string& step) {
    const size_t before = instanceCount(container);
    const unsigned abandonedBefore = AbandonedQueryCount();
    const auto start = std::chrono::steady_clock::now();
    TRootObject::GetQueryManager()->RunQuery(plugin, container, classes, pass);
    const auto took = std::chrono::steady_clock::now() - start;
    const size_t after = instanceCount(container);
    const collector_run::Outcome outcome = AbandonedQueryCount() != abandonedBefore
                                               ? collector_run::Outcome::kAbandoned
                                               : collector_run::Outcome::kRan;
    recordStep(container, plugin, step, outcome, after > before ? after - before : 0, took);
}

void CollectorApp::runCollectorPass(TContainer* container, int pass, const std::string& dump) {
    const std::string step = "pass " + std::to_string(pass + 1);
    for (const boost::shared_ptr<IPlugin>& plugin : TRootObject::GetPluginManager()->GetPlugins()) {
        IPluginCallbacks* callbacks = plugin->GetCallbacks();
        if (callbacks->GetType() != kWyxCollector) continue;
        if (!plugin->IsLoaded()) {
            recordStep(container, plugin.get(), step, collector_run::Outcome::kNotLoaded, 0, {});
            continue;
        }
        const std::string name = PluginSelectionName(plugin->GetFileName());
        if (!isSelected(name)) {
            writeConsole("     Disabled - " + name + ": " + callbacks->GetName() + "\n");
            recordStep(container, plugin.get(), step, collector_run::Outcome::kSkipped, 0, {});
            continue;
        }
        writeConsole("   " + name + ": " + callbacks->GetName() + "\n");
        runRecorded(plugin.get(), container, std::vector<std::string>(), pass, step);
        if (dumpXml) writeXmlWithRunLog(container, false, dump);
    }
}

void CollectorApp::markComputerSystem(TContainer* container) {
    try {
        TCIMClass* cls = container->FindClass(TCIMSchemaHelper::GetSystemCreationClassName(container));
        if (!cls) return;
        std::vector<TCIMInstance*> instances = cls->EnumerateInstances(true);
        if (instances.empty()) return;
        instances[0]->SetPropertyValue("CMCMTM", TCIMValue("{CMCMTM}" + TCIMSchemaHelper::GetMTM(container)));
    } catch (const TWYXException&) {
    }
}

namespace {

// Runs an analysis-like plug-in; its failures only reach the core log.
template <class Interface, class Call>
void runOptionalPlugin(IPlugin* plugin, Call call) {
    const std::string name = plugin->GetCallbacks()->GetName();
    ILogger* log = TRootObject::GetCoreLogger();
    try {
        Interface* callbacks = dynamic_cast<Interface*>(plugin->GetCallbacks());
        if (callbacks) CallPlugin(plugin->GetFileName(), kWyxPluginFailed, [&] { call(callbacks); });
        else log->Write(nullptr, kWyxLogError, "Plug-in " + name + " doesn't support any query interfaces");
    } catch (const TWYXException& e) {
        log->Write(nullptr, kWyxLogError, "Plug-in " + name + " threw exception " + wyxTranslateStatusCode(e.GetStatus()));
    }
}

}  // namespace

void CollectorApp::runAnalysis(TContainer* container) {
    IPlugin* plugin = TRootObject::GetPluginManager()->FindPlugin("Basic Analysis");
    if (!plugin) return;
    writeConsole("Running " + plugin->GetCallbacks()->GetName() + "\n");
    runOptionalPlugin<IPluginBasicQueryCallbacks>(plugin, [&](IPluginBasicQueryCallbacks*) {
        TRootObject::GetQueryManager()->RunQuery(plugin, container, std::vector<std::string>(), 0);
    });
}

void CollectorApp::runVersionCheck(TContainer* container, const std::string& directory) {
    writeConsole("Running " + versionChecker->GetCallbacks()->GetName() + "\n");
    runOptionalPlugin<IPluginAdvancedQueryCallbacks>(versionChecker, [&](IPluginAdvancedQueryCallbacks* checker) {
        checker->AdvancedQuery(container, directory);
    });
}
