// A file with no size that never ends costs its bound, not the machine's memory.
#include <gtest/gtest.h>

#include "expect_status.h"
#include "wyxcore/bounded_read.h"
#include "wyxcore/status.h"

namespace {

TEST(ReadBoundedFile, AnEndlessDeviceStopsAtTheBound) {
    EXPECT_STATUS(ReadBoundedFile("/dev/zero", 1 << 20), kWyxFileTooLarge);
}

}  // namespace
