#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "env_var.h"
#include "expect_status.h"
#include "machine_facts.h"
#include "temp_dir.h"
#include "wyxcore/container.h"
#include "wyxcore/exception.h"
#include "wyxcore/plugin_manager.h"
#include "wyxcore/query_manager.h"
#include "wyxcore/root_object.h"
#include "wyxcore/schema_helper.h"
#include "wyxcore/status.h"

namespace {

class DmiDir {
public:
    void write(const char* name, const std::string& text) {
        std::ofstream out(dir_.path(name).c_str(), std::ios::binary);
        out << text;
    }
    std::string path() const { return dir_.path(); }

private:
    testsupport::TempDir dir_;
};

TEST(MachineIdentity, ReadsTheThreeFilesTrimmed) {
    const std::string megabyte(1 << 20, 'V');
    const struct {
        const char* vendor;
        const char* product;
        const char* serial;   // null: file missing
        MachineIdentity expected;
    } cases[] = {
        {"Varn\n", "8841-AB1\n", "K1234567\n", {"Varn", "8841-AB1", "K1234567"}},
        {"  spaced vendor \r\n", "\t8841\t", nullptr, {"spaced vendor", "8841", ""}},
        {"", " \n", "S", {"", "", "S"}},
        // As bounded as the kernel's own attribute files: a page, the first line.
        {megabyte.c_str(), "8841\nsecond line\n", " S \n", {std::string(4096, 'V'), "8841", "S"}},
    };
    for (const auto& c : cases) {
        DmiDir dir;
        dir.write("sys_vendor", c.vendor);
        dir.write("product_name", c.product);
        if (c.serial) dir.write("product_serial", c.serial);
        const MachineIdentity identity = machine::IdentityFromDirectory(dir.path());
        EXPECT_EQ(c.expected.manufacturer, identity.manufacturer);
        EXPECT_EQ(c.expected.model, identity.model);
        EXPECT_EQ(c.expected.serialNumber, identity.serialNumber);
    }
}

IPlugin* systemPlugin() {
    static bool loaded = false;
    IPluginManager* manager = TRootObject::GetPluginManager();
    if (!loaded) {
        loaded = true;
        const char* bin = std::getenv("NORBIX_BIN");
        EXPECT_NE(nullptr, bin);
        testsupport::SetEnv("WYX_PLUGIN_DIR", (std::filesystem::path(bin ? bin : ".") / "plugins").string());
        manager->LoadPlugins();
    }
    return manager->FindPlugin("System");
}

TEST(SystemCollector, ComputerSystemWhenAskedOperatingSystemInThePass) {
    IPlugin* system = systemPlugin();
    ASSERT_NE(nullptr, system);
    EXPECT_EQ(0, system->GetCallbacks()->GetType());
    DmiDir dir;
    dir.write("sys_vendor", "Varn\n");
    dir.write("product_name", "8841-AB1\n");   // no serial number file
    testsupport::SetEnv("WYX_DMI_DIR", dir.path());
    TContainer container;
    IQueryManager* queries = TRootObject::GetQueryManager();
    queries->RunQuery(system, &container, {"VARNSG_ComputerSystem"}, 0);
    queries->RunQuery(system, &container, {}, 0);
    queries->RunQuery(system, &container, {}, 1);

    const std::vector<TCIMInstance*> systems = container.FindClass("VARNSG_ComputerSystem")->EnumerateInstances(true);
    ASSERT_EQ(1u, systems.size());
    const TCIMInstance* cs = systems[0];
    EXPECT_EQ("VARNSG_ComputerSystem", cs->GetPropertyValue("CreationClassName")->GetText());
    EXPECT_EQ(machine::HostName(), cs->GetPropertyValue("Name")->GetText());
    EXPECT_EQ("Varn", cs->GetPropertyValue("Manufacturer")->GetText());
    EXPECT_EQ("", cs->GetPropertyValue("CMCMTM")->GetText());
    EXPECT_EQ(nullptr, cs->GetPropertyValue("SerialNumber"));
    EXPECT_EQ("8841-AB1", TCIMSchemaHelper::GetMTM(&container));
    EXPECT_EQ("VARNSG_ComputerSystem", TCIMSchemaHelper::GetSystemCreationClassName(&container));
    EXPECT_STATUS(TCIMSchemaHelper::GetSerialNumber(&container), kWyxNoSystemIdentity)
        << "an unreadable serial number is absent";

    const std::vector<TCIMInstance*> systemsOs = container.FindClass("VARNSG_OperatingSystem")->EnumerateInstances(true);
    ASSERT_EQ(1u, systemsOs.size());   // pass 0 only
    EXPECT_EQ("VARNSG_OperatingSystem", systemsOs[0]->GetPropertyValue("CreationClassName")->GetText());
    ASSERT_NE(nullptr, systemsOs[0]->GetPropertyValue("Name"));
    EXPECT_FALSE(systemsOs[0]->GetPropertyValue("Name")->GetText().empty());
    testsupport::UnsetEnv("WYX_DMI_DIR");
}

}  // namespace
