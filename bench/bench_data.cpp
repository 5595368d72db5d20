#include "bench_data.h"

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <stdexcept>

#include "container_generator.h"
#include "wyxcore/cim_xml.h"
#include "wyxcore/container.h"
#include "wyxcore/plugin.h"
#include "wyxcore/plugin_manager.h"
#include "wyxcore/root_object.h"

namespace bench {

namespace {

size_t fromEnvironment(const char* name, size_t otherwise) {
    const char* text = std::getenv(name);
    if (!text || !*text) return otherwise;
    const long value = std::atol(text);
    return value > 0 ? static_cast<size_t>(value) : otherwise;
}

void removeWorkDir() {
    std::error_code ignored;
    std::filesystem::remove_all(WorkDir(), ignored);
}

}  // namespace

size_t InstanceCount() { return fromEnvironment("NORBIX_BENCH_INSTANCES", 200000); }
size_t UlkEntriesPerProcessor() { return fromEnvironment("NORBIX_BENCH_ULK", 10000); }
size_t GrowthTop() { return fromEnvironment("NORBIX_BENCH_GROWTH", 1000000); }
int Rounds() { return static_cast<int>(fromEnvironment("NORBIX_BENCH_ROUNDS", 5)); }

const std::string& WorkDir() {
    static const std::string dir = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "norbix-bench-XXXXXX").string();
        if (!mkdtemp(&pattern[0])) throw std::runtime_error("cannot make a temporary directory");
        return pattern;
    }();
    // Registered once the name is whole, so that the removal runs before the
    // name's destructor, not after it.
    static const bool removedAtExit = (std::atexit(removeWorkDir), true);
    (void)removedAtExit;
    return dir;
}

const TContainer& BigContainer() {
    static const std::unique_ptr<TContainer> container = [] {
        std::unique_ptr<TContainer> made(new TContainer(TContainer::kEmpty));
        FillContainer(made.get(), InstanceCount());
        return made;
    }();
    return *container;
}

const std::string& BigXml() {
    static const std::string xml = TCIMXMLFile::Render(&BigContainer());
    return xml;
}

const std::string& BigFile() {
    static const std::string path = [] {
        const std::string file = WorkDir() + "/big.xml.gz";
        TCIMXMLFile::Write(&BigContainer(), file);
        return file;
    }();
    return path;
}

std::string BinDir() {
    const char* dir = std::getenv("NORBIX_BIN");
    return dir && *dir ? dir : NORBIX_BIN;
}

IPlugin* LoadedPlugin(const std::string& fileName) {
    static const bool loaded = [] {
        setenv("WYX_PLUGIN_DIR", (BinDir() + "/plugins").c_str(), 1);
        setenv("WYX_SCHEMA_DIR", (BinDir() + "/schema").c_str(), 1);
        TRootObject::GetPluginManager()->LoadPlugins();
        return true;
    }();
    (void)loaded;
    for (const auto& plugin : TRootObject::GetPluginManager()->GetPlugins()) {
        const std::string name = plugin->GetFileName();
        if (name.size() >= fileName.size() && name.compare(name.size() - fileName.size(), fileName.size(), fileName) == 0)
            return plugin.get();
    }
    return nullptr;
}

}  // namespace bench
