#ifndef QUARNEL_TEST_SUPPORT_H
#define QUARNEL_TEST_SUPPORT_H

#include <gtest/gtest.h>

#include <string>

#include "fake_framework.h"
#include "scripted_driver.h"
#include "env_var.h"

// The two handles the framework passes to the data callback.
void* const kPlugin = reinterpret_cast<void*>(0x1000);
void* const kContainer = reinterpret_cast<void*>(0x2000);

// Every test starts with a clean fake, a clean driver script, a fixed system
// clock and no WYX_RETRIEVE_FULL_H8_LOGS.
class QuarnelTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes a file in the test's working directory.
    static void writeFile(const std::string& name, const std::string& text);
    // The shipped entry-format file.
    static std::string shippedFormat();
};

#endif
