#include <gtest/gtest.h>

#include "plugin_selection.h"
#include "wyxcore/plugin.h"

namespace {

using Parts = std::vector<std::string>;

TEST(SplitPluginNames, SpaceCommaAndSemicolonSeparate) {
    const struct {
        const char* value;
        Parts names;
    } cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a,b;c d", {"a", "b", "c", "d"}},
        {"a,,b", {"a", "", "b"}},
        {",a", {"", "a"}},
        {"a;", {"a"}},
        {" ", {""}},
        {"Quarnel  x", {"Quarnel", "", "x"}},
    };
    for (const auto& c : cases) EXPECT_EQ(splitPluginNames(c.value), c.names) << c.value;
}

TEST(SelectionName, IsTheFileNameWithoutDirectoryAndExtension) {
    const struct {
        const char* file;
        const char* extension;
        const char* separator;
        const char* name;
    } cases[] = {
        {"/opt/norbix/plugins/quarnel.pi.so", ".pi.so", "/", "quarnel"},
        {"C:\\OSK\\plugins\\system.pi.dll", ".pi.dll", "\\", "system"},
        {"quarnel.pi.so", ".pi.so", "/", "quarnel"},
        {"/p/a.pi.so.pi.so", ".pi.so", "/", "a.pi.so"},      // the last occurrence ends the name
        {"/p.pi.so/x", ".pi.so", "/", "p"},                  // ends at the extension, even in a directory
        {"/p/plain", ".pi.so", "/", "plain"},                // no extension: to the end
        {"/p/.pi.so", ".pi.so", "/", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(PluginSelectionName(c.file, c.extension, c.separator), c.name) << c.file;
}

}  // namespace
