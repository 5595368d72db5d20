// Fills the sample container and has the plug-ins of WYX_PLUGIN_DIR analyse it,
// check its versions and write it, as norbix would: the pages and reports that
// the end-to-end tests open come from here.
// Usage: report_sample HTML-DIRECTORY TEXT-BASE [MEDIA-DIRECTORY]
#include <cstdio>
#include <stdexcept>
#include <string>

#include "support/sample_container.h"
#include "wyxcore/exception.h"
#include "wyxcore/plugin_manager.h"
#include "wyxcore/query_manager.h"
#include "wyxcore/root_object.h"

namespace {

// Finds the plug-in and reports its name and type on standard output.
IPlugin* plugin(const char* name) {
    IPlugin* found = TRootObject::GetPluginManager()->FindPlugin(name);
    if (!found) throw std::runtime_error(std::string("plug-in not found: ") + name);
    std::printf("%s: type %d\n", found->GetCallbacks()->GetName().c_str(), found->GetCallbacks()->GetType());
    return found;
}

void write(const char* name, TContainer& container, const std::string& path) {
    IPluginWriteCallbacks* writer = dynamic_cast<IPluginWriteCallbacks*>(plugin(name)->GetCallbacks());
    if (!writer) throw std::runtime_error(std::string("not a writer: ") + name);
    writer->WriteContainer(&container, path);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3 || argc > 4) {
        std::fprintf(stderr, "usage: report_sample HTML-DIRECTORY TEXT-BASE [MEDIA-DIRECTORY]\n");
        return 2;
    }
    try {
        TRootObject::GetPluginManager()->LoadPlugins();
        TContainer container;
        FillSampleContainer(container);
        TRootObject::GetQueryManager()->RunQuery(plugin("Basic Analysis"), &container, {}, 0);
        if (argc == 4) {
            IPluginAdvancedQueryCallbacks* checker =
                dynamic_cast<IPluginAdvancedQueryCallbacks*>(plugin("Kalvix Version Checker")->GetCallbacks());
            if (!checker) throw std::runtime_error("version checker without its query interface");
            checker->AdvancedQuery(&container, argv[3]);
        }
        write("HTML", container, argv[1]);
        write("Text", container, argv[2]);
    } catch (const TWYXException& e) {
        std::fprintf(stderr, "status %d: %s\n", e.GetStatus(), e.what());
        return 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
