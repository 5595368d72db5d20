#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "core_logger.h"
#include "env_var.h"
#include "wyxcore/flat.h"
#include "wyxcore/status.h"

namespace {

void setLevel(const char* value) { testsupport::SetEnv("WYX_LOG_LEVEL", value); }

TEST(CoreLogger, KeepsEntriesUpToItsLevelAndEveryHeavyHitterNote) {
    const struct {
        const char* env;
        int level;
        std::vector<int> kept;   // of the types -1, 0, 1, 2, 3, 4, 5, 100
    } cases[] = {
        {"0", 0, {-1, 0, 100}},
        {"2", 2, {-1, 0, 1, 2, 100}},
        {"4", 4, {-1, 0, 1, 2, 3, 4, 100}},
        {"", 2, {-1, 0, 1, 2, 100}},
        {"5", 2, {-1, 0, 1, 2, 100}},
        {"x", 2, {-1, 0, 1, 2, 100}},
        {"3 ", 2, {-1, 0, 1, 2, 100}},
    };
    for (const auto& c : cases) {
        setLevel(c.env);
        CoreLogger log;
        EXPECT_EQ(log.GetLevel(), c.level) << c.env;
        for (int type : {-1, 0, 1, 2, 3, 4, 5, 100}) log.Write(nullptr, type, "t" + std::to_string(type));
        std::vector<int> kept;
        for (const TLogEntry& e : log.GetEntries()) {
            kept.push_back(e.type);
            EXPECT_EQ(e.message, "t" + std::to_string(e.type));
            EXPECT_GT(e.timestamp.GetYear(), 2000);
        }
        EXPECT_EQ(kept, c.kept) << c.env;
        log.ClearEntries();
        EXPECT_TRUE(log.GetEntries().empty());
    }
    setLevel("2");
}

TEST(StatusText, EveryCodeInUseHasItsOwnText) {
    std::vector<std::string> seen;
    for (int code = 0; code <= kWyxFileTooDeep; ++code) {
        const std::string text = wyxTranslateStatusCode(code);
        if (text.rfind("Unknown status code", 0) == 0) continue;
        for (const std::string& other : seen) EXPECT_NE(text, other) << code;
        seen.push_back(text);
    }
    EXPECT_EQ(seen.size(), 38u);   // 0 to 7, 11 to 37 and 40 to 42
    EXPECT_STREQ(wyxTranslateStatusCode(kWyxFileNotFound), "File not found");
    EXPECT_STREQ(wyxTranslateStatusCode(kWyxAccessDenied), "Access denied");
    EXPECT_STREQ(wyxTranslateStatusCode(999), "Unknown status code 999");
    EXPECT_STREQ(wyxTranslateStatusCode(-4), "Unknown status code -4");
}

}  // namespace
