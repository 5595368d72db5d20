#include <gtest/gtest.h>

#include "expect_status.h"
#include "test_support.h"
#include "wyxcore/container.h"
#include "wyxcore/exception.h"
#include "wyxcore/plugin.h"
#include "wyxcore/plugin_manager.h"
#include "wyxcore/query_manager.h"
#include "wyxcore/root_object.h"
#include "wyxcore/status.h"

namespace {

using testsupport::TakeLog;

// fixture_flat logs "fixture data:" and the class names it is handed.
TEST(QueryManager, EmptyListHandsOverTheClassesRegisteredForThePass) {
    IPlugin* flat = testsupport::Plugin("fixture_flat");
    ASSERT_NE(nullptr, flat);
    TContainer container;
    container.AddClass("Fixture_PassOne")->SetProvider("fixture_flat", 0);
    container.AddClass("Fixture_AlsoPassOne")->SetProvider("fixture_flat", 0);
    container.AddClass("Fixture_PassTwo")->SetProvider("fixture_flat", 1);
    container.AddClass("Fixture_ByName")->SetProvider("fixture_flat", -1);
    container.AddClass("Other_PassOne")->SetProvider("fixture_flat_other", 0);
    const struct {
        std::vector<std::string> names;
        int pass;
        std::vector<std::string> logged;
    } cases[] = {
        {{}, 0, {"fixture data: Fixture_PassOne Fixture_AlsoPassOne"}},
        {{}, 1, {"fixture data: Fixture_PassTwo"}},
        {{}, 2, {}},   // provides nothing in that pass: not called
        {{"Fixture_ByName"}, 0, {"fixture data: Fixture_ByName"}},
        {{"Anything", "Else"}, 1, {"fixture data: Anything Else"}},
    };
    TakeLog(flat);
    for (const auto& c : cases) {
        TRootObject::GetQueryManager()->RunQuery(flat, &container, c.names, c.pass);
        EXPECT_EQ(c.logged, TakeLog(flat)) << "pass " << c.pass;
    }
}

// The loaded plug-in whose file name contains the text.
IPlugin* pluginFile(const std::string& text) {
    testsupport::Plugin("fixture_flat");
    for (const auto& plugin : TRootObject::GetPluginManager()->GetPlugins())
        if (plugin->GetFileName().find(text) != std::string::npos) return plugin.get();
    ADD_FAILURE() << text << " not loaded";
    return nullptr;
}

TEST(QueryManager, RefusesWhatCannotBeQueried) {
    IQueryManager* queries = TRootObject::GetQueryManager();
    TContainer container;
    const struct {
        const char* what;
        IPlugin* plugin;
        TContainer* container;
        int status;
    } cases[] = {
        {"no plug-in", nullptr, &container, kWyxInvalidArgument},
        {"no container", testsupport::Plugin("fixture_flat"), nullptr, kWyxInvalidArgument},
        {"writer without a query interface", testsupport::Plugin("XML"), &container, kWyxNotSupported},
        {"plug-in that could not initialise", pluginFile("fixture_flat_noinit"), &container,
         kWyxPluginLoadFailed},
    };
    for (const auto& c : cases) {
        EXPECT_STATUS(queries->RunQuery(c.plugin, c.container, {"X"}, 0), c.status) << c.what;
    }
}

}  // namespace
