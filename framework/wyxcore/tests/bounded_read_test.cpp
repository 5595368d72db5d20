// Whole files handed to the program are read within their bound.
#include <gtest/gtest.h>

#include <fstream>

#include "expect_status.h"
#include "temp_dir.h"
#include "wyxcore/bounded_read.h"
#include "wyxcore/status.h"

namespace {

TEST(ReadBoundedFile, HoldsNoMoreThanItsBound) {
    testsupport::TempDir dir;
    std::ofstream(dir.path("ten"), std::ios::binary) << "0123456789";
    const struct {
        const char* what;
        std::string path;
        size_t limit;
        int status;
    } cases[] = {
        {"exactly the bound", dir.path("ten"), 10, kWyxOK},
        {"one byte over: refused before it is read", dir.path("ten"), 9, kWyxFileTooLarge},
        {"missing", dir.path("none"), 10, kWyxFileNotFound},
        {"a directory", dir.path(), 10, kWyxAccessDenied},
    };
    for (const auto& c : cases) EXPECT_STATUS(ReadBoundedFile(c.path, c.limit), c.status) << c.what;
    EXPECT_EQ("0123456789", ReadBoundedFile(dir.path("ten"), 10));
}

}  // namespace
