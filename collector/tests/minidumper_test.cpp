// Each crash runs in a death-test child, so the handler is only ever
// installed there.
#include "minidumper.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "wyxcore/os_specific.h"

namespace fs = std::filesystem;

namespace {

__attribute__((noinline, no_sanitize("undefined"))) void writeThroughNull() {
    volatile int* volatile target = nullptr;
    *target = 1;
}

bool anyStatus(int) { return true; }

std::string contents(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class MiniDumperTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = fs::temp_directory_path() / (std::string("norbix_minidumper_") + info->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        ::testing::FLAGS_gtest_death_test_style = "threadsafe";
    }
    void TearDown() override { fs::remove_all(dir_); }

    // The directory as the program hands it over: ending with the separator.
    std::string directory() const { return dir_.string() + TOSSpecific::kFileSeparator; }
    fs::path dump() const { return dir_ / "OSK_Core.dmp"; }

    fs::path dir_;
};

TEST_F(MiniDumperTest, CrashReplacesAnEarlierDumpInTheDirectory) {
    { std::ofstream(dump(), std::ios::binary) << "earlier dump"; }
    const std::string where = directory();
    EXPECT_EXIT((theMiniDumper().installCrashHandler(where.c_str()), writeThroughNull()), anyStatus, "");
    const std::string dumped = contents(dump());
    EXPECT_GT(dumped.size(), 64u);
    EXPECT_EQ(dumped.find("earlier dump"), std::string::npos);
}

TEST_F(MiniDumperTest, UncreatableDumpWritesNothing) {
    fs::create_directory(dump());   // a directory where the file would go
    const std::string where = directory();
    EXPECT_EXIT((theMiniDumper().installCrashHandler(where.c_str()), writeThroughNull()), anyStatus, "");
    EXPECT_TRUE(fs::is_directory(dump()));
    EXPECT_TRUE(fs::is_empty(dump()));
}

TEST_F(MiniDumperTest, PathLongerThanAnyBufferWritesNothing) {
    // Far beyond both platforms' path limits; the sanitizers watch the buffers.
    const std::string where = directory() + std::string(5000, 'd') + TOSSpecific::kFileSeparator;
    EXPECT_EXIT((theMiniDumper().installCrashHandler(where.c_str()), writeThroughNull()), anyStatus, "");
    EXPECT_TRUE(fs::is_empty(dir_));
}

}  // namespace
