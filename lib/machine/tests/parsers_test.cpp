// The text parsers of the machine collectors: kernel text files, the PCI ID
// database and the devices' driver records.
#include <gtest/gtest.h>

#include "device_drivers.h"
#include "linux_text.h"
#include "pci_names.h"

namespace {

TEST(ProcStat, BootTimeInSecondsOrNone) {
    const struct {
        std::string text;
        int64_t seconds;    // -1: none
    } cases[] = {
        {"cpu 1 2 3\nbtime 1765000000\nprocesses 7\n", 1765000000},
        {"btime 12\n", 12},
        {"cpu 1\nbtime   42  \n", 42},                              // blanks around the number
        {"cpu 1\nbtime 253402300799\n", 253402300799LL},            // the last second of 9999
        {"cpu 1\nbtime 253402300800\n", -1},
        {"cpu 1\nbtime 99999999999999999999999\n", -1},             // beyond any type
        {"cpu 1\nbtime -5\n", -1},
        {"cpu 1\nbtime\n", -1},
        {"cpu 1\nxbtime 5\n", -1},
        {"cpu 1 btime 5\n", -1},                                     // not at a line's start
        {"", -1},
    };
    for (const auto& c : cases) {
        int64_t seconds = -1;
        const bool ok = linuxtext::ParseBootSeconds(c.text, &seconds);
        EXPECT_EQ(c.seconds >= 0, ok) << c.text;
        if (ok) {
            EXPECT_EQ(c.seconds, seconds) << c.text;
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

TEST(PciNames, VendorAndDeviceFromTheDatabase) {
    const std::string database =
        "# comment\n"
        "8086  Varn Corporation\n"
        "\t100e  Gigabit Controller\n"
        "\t\t8086 001e  Subsystem line, not a device\n"
        "\t15bb  Ethernet Connection\r\n"
        "10de  Other Maker\n"
        "\tzzzz  Malformed device\n"
        "\t1234 One space only\n"
        "abcd Malformed vendor\n"
        "\t0001  Under a malformed vendor\n"
        "C 02  Network controller\n"
        "\t00  Ethernet controller\n";
    const struct {
        const char* what;
        std::string text;
        const char *vendorId, *deviceId;
        const char *manufacturer, *name;   // expected; "label" where the database names nothing
    } cases[] = {
        {"vendor and device", database, "0x8086", "0x100e", "Varn Corporation", "Gigabit Controller"},
        {"upper case, no prefix, CRLF", database, "8086", "15BB", "Varn Corporation", "Ethernet Connection"},
        {"subsystem lines name no device", database, "0x8086", "0x001e", "Varn Corporation", "label"},
        {"device under another vendor", database, "0x10de", "0x100e", "Other Maker", "label"},
        {"malformed device lines", database, "0x10de", "0x1234", "Other Maker", "label"},
        {"device under a malformed vendor", database, "0xabcd", "0x0001", "", "label"},
        {"class lines are no vendor", database, "0x0002", "0x0000", "", "label"},
        {"not an ID", database, "0x80860", "0x100e", "", "label"},
        {"cut-off last line", "8086  Varn Corporation\n\t100e  Gigabit Contr", "0x8086", "0x100e",
         "Varn Corporation", "label"},
        {"cut-off vendor line", "8086  Varn Corp", "0x8086", "0x100e", "", "label"},
        {"binary junk", std::string("\0\xff\t\t\t\n\n\x01  x\n", 12), "0x8086", "0x100e", "", "label"},
        {"empty", "", "0x8086", "0x100e", "", "label"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        PciFacts device;
        device.vendorId = c.vendorId;
        device.deviceId = c.deviceId;
        device.name = "label";
        std::vector<PciFacts> devices = {device};
        pcinames::Name(c.text, devices);
        EXPECT_EQ(c.manufacturer, devices[0].manufacturer);
        EXPECT_EQ(c.name, devices[0].name);
    }
}

TEST(DeviceDrivers, RegistryStringsAsStored) {
    const struct {
        std::string raw, text;
    } cases[] = {
        {std::string("10.0.1.5\0", 9), "10.0.1.5"},
        {"10.0.1.5", "10.0.1.5"},                                  // stored without its NUL
        {std::string("first\0second\0\0", 14), "first"},           // a multi-string
        {std::string(" \xff\x01 odd ", 8), " \xff\x01 odd "},      // bytes as stored
        {std::string("\0junk", 5), ""},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(c.text, devicedrivers::RegistryText(c.raw));
}

TEST(DeviceDrivers, OneDriverPerServiceAndAdaptersByName) {
    const std::vector<DeviceDriverRecord> records = {
        {"e1dexpress", "Gigabit Adapter #1", "12.18.9.7", "Varn", "3-4-2021", "{6A1C0E4F-0000-4B2B-9C1D-AABBCCDDEEFF}"},
        {"e1dexpress", "Gigabit Adapter #2", "12.19.0.0", "Varn", "5-6-2022", "{11111111-2222-3333-4444-555555555555}"},
        {"", "Generic volume", "10.0.19041.1", "Maker", "6-21-2006", ""},
        {"disk", "Disk drive", "", "Maker", "", ""},            // no version: left out
        {"", "", "1.0", "", "", ""},                            // nothing to name it by
        {"storvsc", "Storage", "10.0.1", "Maker", "6-21-2006", ""},
    };
    const struct {
        size_t limit;
        std::vector<std::string> names;
    } limits[] = {
        {devicedrivers::kDriverLimit, {"e1dexpress", "Generic volume", "storvsc"}},
        {2, {"e1dexpress", "Generic volume"}},
        {0, {}},
    };
    for (const auto& l : limits) {
        const std::vector<DriverFacts> drivers = devicedrivers::Distinct(records, l.limit);
        std::vector<std::string> names;
        for (const DriverFacts& driver : drivers) names.push_back(driver.name);
        EXPECT_EQ(l.names, names) << l.limit;
        if (!drivers.empty()) {
            EXPECT_EQ("12.18.9.7", drivers[0].version);   // the first device's
            EXPECT_EQ("Varn", drivers[0].manufacturer);
            EXPECT_EQ("3-4-2021", drivers[0].releaseDate);
            EXPECT_EQ("Gigabit Adapter #1", drivers[0].description);
        }
    }

    const struct {
        const char* adapter;
        const char* version;   // null: no driver found
    } adapters[] = {
        {"{6a1c0e4f-0000-4b2b-9c1d-aabbccddeeff}", "12.18.9.7"},
        {"{11111111-2222-3333-4444-555555555555}", "12.19.0.0"},
        {"{11111111-2222-3333-4444-55555555555}", nullptr},
        {"", nullptr},   // devices that are no adapter have an empty id too
    };
    for (const auto& a : adapters) {
        const DeviceDriverRecord* found = devicedrivers::ForAdapter(records, a.adapter);
        ASSERT_EQ(a.version != nullptr, found != nullptr) << a.adapter;
        if (found) {
            EXPECT_EQ(a.version, found->version) << a.adapter;
        }
    }
}

}  // namespace
