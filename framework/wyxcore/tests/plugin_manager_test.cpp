#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "env_var.h"
#include "expect_status.h"
#include "plugin_manager_impl.h"
#include "temp_dir.h"
#include "wyxcore/container.h"
#include "wyxcore/exception.h"
#include "wyxcore/logger.h"
#include "wyxcore/os_specific.h"
#include "wyxcore/query_manager.h"
#include "wyxcore/root_object.h"
#include "wyxcore/status.h"

namespace fs = std::filesystem;

namespace {

// A plug-in directory holding copies of the named fixture plug-ins.
class PluginDir {
public:
    explicit PluginDir(const std::vector<std::string>& fixtures) : dir_(temp_.path()) {
        const char* fixtureDir = std::getenv("NORBIX_FIXTURES");
        for (const std::string& f : fixtures)
            fs::copy_file(fs::path(fixtureDir) / (f + TOSSpecific::kPluginExtension),
                          dir_ / (f + TOSSpecific::kPluginExtension));
        setDir(dir_.string());
    }
    const fs::path& path() const { return dir_; }
    static void setDir(const std::string& dir) { testsupport::SetEnv("WYX_PLUGIN_DIR", dir); }

private:
    testsupport::TempDir temp_;
    fs::path dir_;
};

std::vector<std::string> logMessages() {
    std::vector<std::string> messages;
    for (const TLogEntry& e : TRootObject::GetCoreLogger()->GetEntries()) messages.push_back(e.message);
    return messages;
}

bool logged(const std::string& start, const std::string& end) {
    for (const std::string& m : logMessages())
        if (m.rfind(start, 0) == 0 && m.size() >= end.size() && m.compare(m.size() - end.size(), end.size(), end) == 0)
            return true;
    return false;
}

class PluginManagerTest : public ::testing::Test {
protected:
    void SetUp() override { TRootObject::GetCoreLogger()->ClearEntries(); }
};

TEST_F(PluginManagerTest, LoadsFlatAndCppPluginsInNameOrder) {
    PluginDir dir({"fixture_xml", "fixture_flat", "fixture_html"});
    std::ofstream(dir.path() / "readme.txt") << "not a plug-in";
    PluginManager manager;
    manager.LoadPlugins();
    auto plugins = manager.GetPlugins();
    ASSERT_EQ(plugins.size(), 3u);
    EXPECT_EQ(plugins[0]->GetCallbacks()->GetName(), "fixture_flat");
    EXPECT_EQ(plugins[1]->GetCallbacks()->GetName(), "HTML");
    EXPECT_EQ(plugins[2]->GetCallbacks()->GetName(), "XML");
    for (auto& p : plugins) EXPECT_TRUE(p->IsLoaded());
    EXPECT_EQ(plugins[0]->GetFileName(),
              dir.path().string() + TOSSpecific::kFileSeparator + "fixture_flat" + TOSSpecific::kPluginExtension);
    EXPECT_EQ(plugins[0]->GetCallbacks()->GetType(), kWyxCollector);
    EXPECT_NE(dynamic_cast<IPluginBasicQueryCallbacks*>(plugins[0]->GetCallbacks()), nullptr);
    EXPECT_NE(dynamic_cast<IPluginWriteCallbacks*>(plugins[2]->GetCallbacks()), nullptr);
    EXPECT_EQ(dynamic_cast<IPluginWriteCallbacks*>(plugins[0]->GetCallbacks()), nullptr);
    EXPECT_EQ(manager.FindPlugin("XML"), plugins[2].get());
    EXPECT_EQ(manager.FindPlugin("xml"), nullptr);
    EXPECT_TRUE(logMessages().empty());
}

TEST_F(PluginManagerTest, AFlatPluginIsQueriedThroughItsDataCallbackWithItsHandle) {
    PluginDir dir({"fixture_flat"});
    PluginManager manager;
    manager.LoadPlugins();
    IPlugin* plugin = manager.FindPlugin("fixture_flat");
    ASSERT_NE(plugin, nullptr);
    TContainer container;
    dynamic_cast<IPluginBasicQueryCallbacks*>(plugin->GetCallbacks())
        ->Query(&container, {"VARNSG_A", "VARNSG_B"}, 0);
    auto entries = TRootObject::GetCoreLogger()->GetEntries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].message, "fixture data: VARNSG_A VARNSG_B");
    EXPECT_EQ(entries[0].source, plugin);
    const char* path = nullptr;
    ASSERT_EQ(wyxGetPluginPath(plugin, &path), 0);
    EXPECT_EQ(std::string(path), plugin->GetFileName());
}

TEST_F(PluginManagerTest, FilesThatAreNoUsablePluginsAreLoggedAndSkipped) {
    PluginDir dir({"fixture_no_entry", "fixture_flat_refused", "fixture_html"});
    std::ofstream(dir.path() / ("garbage" + TOSSpecific::kPluginExtension)) << "this is no library";
    PluginManager manager;
    manager.LoadPlugins();
    auto plugins = manager.GetPlugins();
    ASSERT_EQ(plugins.size(), 1u);
    EXPECT_EQ(plugins[0]->GetCallbacks()->GetName(), "HTML");
    const std::string sep = TOSSpecific::kFileSeparator;
    const std::string base = "Couldn't load plug-in " + dir.path().string() + sep;
    EXPECT_TRUE(logged(base + "fixture_no_entry" + TOSSpecific::kPluginExtension, ": no plug-in entry"));
    EXPECT_TRUE(logged(base + "fixture_flat_refused" + TOSSpecific::kPluginExtension, ""));
    EXPECT_TRUE(logged(base + "garbage" + TOSSpecific::kPluginExtension + ": ", ""));
    EXPECT_EQ(logMessages().size(), 3u);
    for (const TLogEntry& e : TRootObject::GetCoreLogger()->GetEntries()) EXPECT_EQ(e.type, kWyxLogError);
}

TEST_F(PluginManagerTest, APluginThatCannotInitialiseIsListedButNotLoaded) {
    PluginDir dir({"fixture_flat_noinit"});
    PluginManager manager;
    manager.LoadPlugins();
    auto plugins = manager.GetPlugins();
    ASSERT_EQ(plugins.size(), 1u);
    EXPECT_FALSE(plugins[0]->IsLoaded());
    EXPECT_EQ(plugins[0]->GetCallbacks()->GetName(), "fixture_flat");
}

TEST_F(PluginManagerTest, AMissingDirectoryThrows) {
    PluginDir::setDir((fs::temp_directory_path() / "wyx_no_such_dir").string());
    PluginManager manager;
    EXPECT_STATUS(manager.LoadPlugins(), kWyxPluginDirMissing);
}

TEST(FlatRegistration, IsRefusedOutsideALoad) {
    WyxPluginRecord record = {};
    void* handle = nullptr;
    EXPECT_EQ(wyxRegisterPlugin(&record, &handle), 3);
    EXPECT_EQ(wyxRegisterPlugin(nullptr, &handle), 3);
    EXPECT_EQ(handle, nullptr);
}

TEST(FlatRegistration, RecordIsTwentyFourBytesOnThe32BitTarget) {
    if (sizeof(void*) == 4) {
        EXPECT_EQ(sizeof(WyxPluginRecord), 24u);
    }
    EXPECT_EQ(kWyxPluginRecordSize, 24);
}

TEST(FlatLogging, RejectsUnknownHandlesAndNullText) {
    TRootObject::GetCoreLogger()->ClearEntries();
    int notAPlugin = 0;
    EXPECT_EQ(wyxWriteLog(&notAPlugin, 0, "x"), 3);
    EXPECT_EQ(wyxWriteLog(nullptr, 0, nullptr), 3);
    EXPECT_EQ(wyxWriteLog(nullptr, 0, "from nobody"), 0);
    const char* path = nullptr;
    EXPECT_EQ(wyxGetPluginPath(&notAPlugin, &path), 3);
    EXPECT_EQ(wyxGetPluginPath(nullptr, &path), 3);
    auto entries = TRootObject::GetCoreLogger()->GetEntries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].source, nullptr);
}

}  // namespace
