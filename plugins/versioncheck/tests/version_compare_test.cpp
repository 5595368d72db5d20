#include <gtest/gtest.h>

#include "version_compare.h"

namespace {

TEST(CompareVersions, OrdersVersionTexts) {
    const struct { const char* a; const char* b; int order; } cases[] = {
        {"1.0", "1.0", 0},       {"1.9", "1.10", -1},    {"01.2", "1.2", 0},   {"2.3", "2.3.1", -1},
        {"2.31", "2.31a", -1},   {"2.31a", "2.31b", -1}, {"A1", "a1", 0},      {"1-2", "1.2", 0},
        {"5.2", "5.10", -1},     {"10", "9", 1},         {"1.0a", "1.0.1", -1}, {"", "", 0},
        {"", "1", -1},           {"000", "0", 0},        {"99999999999999999999", "100000000000000000000", -1},
    };
    for (const auto& c : cases) {
        const int order = CompareVersions(c.a, c.b);
        EXPECT_EQ((order > 0) - (order < 0), c.order) << c.a << " vs " << c.b;
        const int reverse = CompareVersions(c.b, c.a);
        EXPECT_EQ((reverse > 0) - (reverse < 0), -c.order) << c.b << " vs " << c.a;
    }
}

}  // namespace
