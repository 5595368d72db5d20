#include <gtest/gtest.h>

#include "path_split.h"

namespace {

using Parts = std::vector<std::string>;

TEST(SplitPath, CutsAtEverySeparator) {
    const struct {
        const char* path;
        const char* separator;
        Parts parts;
    } cases[] = {
        {"", "/", {}},
        {"a", "/", {"a"}},
        {"/tmp/a/b", "/", {"", "tmp", "a", "b"}},
        {"a//b", "/", {"a", "", "b"}},
        {"a/b/", "/", {"a", "b"}},
        {"/", "/", {""}},
        {"C:\\VARN_Support\\x", "\\", {"C:", "VARN_Support", "x"}},
        {"C:\\a\\\\b\\", "\\", {"C:", "a", "", "b"}},
        {"a/b", "\\", {"a/b"}},
    };
    for (const auto& c : cases) EXPECT_EQ(splitPath(c.path, c.separator), c.parts) << c.path;
}

}  // namespace
