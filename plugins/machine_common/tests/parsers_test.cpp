// The text parsers of the machine collectors: kernel text files and UTC time stamps.
#include <gtest/gtest.h>

#include "linux_text.h"
#include "utc_time.h"

namespace {

TEST(UtcTime, CountsFromTheEpochInUtc) {
    const struct {
        int64_t micros;
        const char* dmtf;   // null: refused
    } cases[] = {
        {0, "19700101000000.000000+000"},
        {951782400123456LL, "20000229000000.123456+000"},            // leap day of a century leap year
        {1735689599999999LL, "20241231235959.999999+000"},
        {253402300799000000LL, "99991231235959.000000+000"},        // the last second that fits
        {253402300800000000LL, nullptr},
        {-1, nullptr},
    };
    for (const auto& c : cases) {
        TCIMDateTime point;
        const bool ok = machine::UtcFromEpochMicros(c.micros, &point);
        EXPECT_EQ(c.dmtf != nullptr, ok) << c.micros;
        if (c.dmtf && ok) {
            EXPECT_EQ(c.dmtf, point.ToString()) << c.micros;
        }
    }
}

TEST(CpuInfo, OneProcessorPerPackage) {
    const std::string twoPackages =
        "processor\t: 0\nvendor_id\t: GenuineVarn\nmodel name\t: Varn X 9000\nphysical id\t: 0\ncpu cores\t: 2\n"
        "cpu MHz\t\t: 2100.000\n\n"
        "processor\t: 1\nmodel name\t: Varn X 9000\nphysical id\t: 0\ncpu cores\t: 2\n\n"
        "processor\t: 2\nmodel name\t: Varn X 9000\nphysical id\t: 1\ncpu cores\t: 2\n\n";
    const struct {
        const char* what;
        std::string text;
        std::vector<unsigned> threads;   // per package
        const char* model;
        unsigned cores, mhz;
    } cases[] = {
        {"two packages, two threads in the first", twoPackages, {2, 1}, "Varn X 9000", 2, 2100},
        // Without package ids (virtual machines, some architectures) all share one.
        {"no physical id", "processor: 0\nmodel name: M\n\nprocessor: 1\nmodel name: M\n", {2}, "M", 0, 0},
        {"no blank line at the end", "processor: 0\nmodel name: M", {1}, "M", 0, 0},
        {"garbage and huge numbers", "processor: 0\n\x01\x02 junk\ncpu cores: 99999999999\ncpu MHz: x\n", {1}, "", 0,
         0},
        {"empty", "", {}, "", 0, 0},
        {"lines without a processor", "model name: M\n\n", {}, "", 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<ProcessorFacts> found = linuxtext::ParseCpuInfo(c.text);
        ASSERT_EQ(c.threads.size(), found.size());
        for (size_t i = 0; i < found.size(); ++i) {
            EXPECT_EQ(c.threads[i], found[i].threads);
            EXPECT_EQ("CPU" + std::to_string(i), found[i].deviceId);
        }
        if (!found.empty()) {
            EXPECT_EQ(c.model, found[0].model);
            EXPECT_EQ(c.cores, found[0].cores);
            EXPECT_EQ(c.mhz, found[0].clockMHz);
        }
    }
}

TEST(MemInfo, TotalInBytes) {
    const struct {
        const char* text;
        bool found;
        uint64_t bytes;
    } cases[] = {
        {"MemTotal:       16318060 kB\nMemFree: 1 kB\n", true, 16318060ULL * 1024},
        {"MemFree: 1 kB\nMemTotal: 4 kB", true, 4096},
        {"MemTotal: lots kB\n", false, 0},
        {"MemTotal: 99999999999999999999 kB\n", false, 0},   // would overflow
        {"", false, 0},
    };
    for (const auto& c : cases) {
        uint64_t bytes = 0;
        EXPECT_EQ(c.found, linuxtext::ParseMemTotal(c.text, &bytes)) << c.text;
        EXPECT_EQ(c.bytes, bytes) << c.text;
    }
}

}  // namespace
