#include "test_support.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

void QuarnelTest::SetUp() {
    fake().reset();
    resetDriver();
    setSystemTime(point(2026, 12, 8, 10, 0, 0, 60));
    testsupport::UnsetEnv("WYX_RETRIEVE_FULL_H8_LOGS");
}

void QuarnelTest::TearDown() {
    EXPECT_EQ(0, fake().liveDateTimes) << "date-time handles left";
    EXPECT_EQ(0, fake().liveValueArrays) << "value arrays left";
    EXPECT_EQ(driver().constructed, driver().destroyed) << "driver objects left";
    testsupport::UnsetEnv("WYX_RETRIEVE_FULL_H8_LOGS");
}

void QuarnelTest::writeFile(const std::string& name, const std::string& text) {
    std::ofstream(name.c_str(), std::ios::binary) << text;
}

std::string QuarnelTest::shippedFormat() {
    const char* source = std::getenv("NORBIX_SOURCE_DIR");
    std::ifstream file((std::string(source ? source : ".") + "/plugins/quarnel/quarnelentry.txt").c_str(),
                       std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    EXPECT_FALSE(text.str().empty()) << "quarnelentry.txt not found";
    return text.str();
}
