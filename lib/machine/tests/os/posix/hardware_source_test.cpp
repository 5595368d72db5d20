// The machine's parts read from a fake /sys and /proc: the normal shape and
// malformed or missing files, which leave a value unknown and never fail.
#include <gtest/gtest.h>

#include <filesystem>

#include "fake_tree.h"
#include "hardware_facts.h"

namespace {

using machinetest::FakeTree;

TEST(LinuxHardware, DisksFromTheBlockClass) {
    FakeTree tree;
    const std::string nvme = "/sys/devices/pci0000:00/0000:00:1d.0/nvme/nvme0/nvme0n1";
    tree.Write(nvme + "/size", "1953525168\n");
    tree.Write(nvme + "/device/model", "Varn NVMe 1TB   \n");
    tree.Write(nvme + "/device/serial", "S4EWNX0\n");
    tree.Write(nvme + "/device/firmware_rev", "2B2QEXM7\n");
    tree.Link("/sys/block/nvme0n1", "../devices/pci0000:00/0000:00:1d.0/nvme/nvme0/nvme0n1");
    const std::string sata = "/sys/devices/pci0000:00/0000:00:17.0/ata1/host0/target0:0:0/0:0:0:0/block/sda";
    tree.Write(sata + "/size", "18446744073709551615\n");   // beyond any byte count
    tree.Write(sata + "/device/model", std::string("Old\xff\x01Disk\n", 9));
    tree.Write(sata + "/device/rev", "SN03\n");
    tree.Write(sata + "/device/state", "offline\n");
    tree.Link("/sys/block/sda", "../devices/pci0000:00/0000:00:17.0/ata1/host0/target0:0:0/0:0:0:0/block/sda");
    tree.Write("/sys/block/loop0/size", "0\n");               // no hardware behind it
    tree.Write("/sys/block/vdb/size", "garbage\n");           // no device folder: not a disk
    Notes notes;
    const std::vector<DiskFacts> disks = hardware::Disks(notes);
    ASSERT_EQ(2u, disks.size());
    const struct {
        const char *id, *model, *serial, *firmware, *bus, *state;
        bool sizeKnown;
        uint64_t size;
    } expected[] = {
        {"nvme0n1", "Varn NVMe 1TB", "S4EWNX0", "2B2QEXM7", "NVMe", "", true, 1953525168ULL * 512},
        {"sda", "Old\xff\x01Disk", "", "SN03", "ATA", "offline", false, 0},   // bytes as read
    };
    for (size_t i = 0; i < disks.size(); ++i) {
        SCOPED_TRACE(expected[i].id);
        EXPECT_EQ(expected[i].id, disks[i].deviceId);
        EXPECT_EQ(expected[i].model, disks[i].model);
        EXPECT_EQ(expected[i].serial, disks[i].serialNumber);
        EXPECT_EQ(expected[i].firmware, disks[i].firmwareRevision);
        EXPECT_EQ(expected[i].bus, disks[i].bus);
        EXPECT_EQ(expected[i].state, disks[i].state);
        EXPECT_EQ(expected[i].sizeKnown, disks[i].sizeKnown);
        EXPECT_EQ(expected[i].size, disks[i].sizeBytes);
    }
    EXPECT_TRUE(notes.empty());
}

TEST(LinuxHardware, AdaptersPciDevicesAndDrivers) {
    FakeTree tree;
    tree.Write("/sys/class/net/lo/address", "00:00:00:00:00:00\n");
    tree.Write("/sys/class/net/eth0/address", "52:54:00:12:34:56\n");
    tree.Write("/sys/class/net/eth0/operstate", "up\n");
    tree.Write("/sys/class/net/eth0/speed", "10000\n");
    tree.Link("/sys/class/net/eth0/device/driver", "../../../bus/pci/drivers/ixgbe");
    tree.Write("/sys/module/ixgbe/version", "5.19.6\n");
    tree.Write("/sys/class/net/eth1/operstate", "down\n");
    tree.Write("/sys/class/net/eth1/speed", "-1\n");          // a link that is down
    tree.Write("/sys/bus/pci/devices/0000:00:1f.6/vendor", "0x8086\n");
    tree.Write("/sys/bus/pci/devices/0000:00:1f.6/device", "0x15bb\n");
    tree.Write("/sys/bus/pci/devices/0000:00:1f.6/subsystem_vendor", "0x17aa\n");
    tree.Write("/sys/bus/pci/devices/0000:00:1f.6/subsystem_device", "0x2292\n");
    tree.Write("/sys/bus/pci/devices/0000:00:1f.6/class", "0x020000\n");
    tree.Link("/sys/bus/pci/devices/0000:00:1f.6/driver", "../../../bus/pci/drivers/e1000e");
    tree.Write("/sys/bus/pci/devices/0000:00:00.0/vendor", "");   // truncated
    tree.Write("/sys/module/e1000e/version", "3.2.6-k\n");
    tree.Write("/sys/module/ext4/parameters/x", "1\n");          // no version: not a versioned driver
    tree.Write("/usr/share/misc/pci.ids", "8086  Varn Corporation\n\t15bb  Ethernet Connection\n");
    Notes notes;

    const std::vector<AdapterFacts> adapters = hardware::Adapters(notes);
    ASSERT_EQ(2u, adapters.size());
    EXPECT_EQ("eth0", adapters[0].name);
    EXPECT_EQ("52:54:00:12:34:56", adapters[0].macAddress);
    EXPECT_EQ("up", adapters[0].state);
    EXPECT_EQ("ixgbe", adapters[0].driver);
    EXPECT_EQ("5.19.6", adapters[0].driverVersion);
    EXPECT_TRUE(adapters[0].speedKnown);
    EXPECT_EQ(10000000000ULL, adapters[0].speedBitsPerSecond);
    EXPECT_EQ("down", adapters[1].state);
    EXPECT_FALSE(adapters[1].speedKnown);
    EXPECT_EQ("", adapters[1].driver);

    const std::vector<PciFacts> pci = hardware::PciDevices(notes);
    ASSERT_EQ(2u, pci.size());
    EXPECT_EQ("0000:00:00.0", pci[0].slot);
    EXPECT_EQ("", pci[0].vendorId);
    EXPECT_EQ("0x8086", pci[1].vendorId);
    EXPECT_EQ("0x15bb", pci[1].deviceId);
    EXPECT_EQ("0x17aa:0x2292", pci[1].subsystemId);
    EXPECT_EQ("0x020000", pci[1].classCode);
    EXPECT_EQ("e1000e", pci[1].driver);
    EXPECT_EQ("", pci[0].manufacturer);
    EXPECT_EQ("Varn Corporation", pci[1].manufacturer);
    EXPECT_EQ("Ethernet Connection", pci[1].name);

    const std::vector<DriverFacts> drivers = hardware::Drivers(notes);
    ASSERT_EQ(2u, drivers.size());
    EXPECT_EQ("e1000e", drivers[0].name);
    EXPECT_EQ("3.2.6-k", drivers[0].version);
    EXPECT_EQ("ixgbe", drivers[1].name);
    EXPECT_TRUE(notes.empty());

    // Without the database the devices keep their IDs, and one note says why.
    std::filesystem::remove(tree.Path("/usr/share/misc/pci.ids"));
    const std::vector<PciFacts> unnamed = hardware::PciDevices(notes);
    ASSERT_EQ(2u, unnamed.size());
    EXPECT_EQ("", unnamed[1].name);
    EXPECT_EQ((Notes{"No PCI ID database: PCI devices named only where the firmware labels them"}), notes);
}

TEST(LinuxHardware, MissingSourcesAreNotesNotFailures) {
    FakeTree tree;   // an empty machine
    Notes notes;
    EXPECT_TRUE(hardware::Processors(notes).empty());
    const MemoryFacts memory = hardware::Memory(notes);
    EXPECT_FALSE(memory.totalKnown);
    EXPECT_TRUE(hardware::Disks(notes).empty());
    EXPECT_TRUE(hardware::Adapters(notes).empty());
    EXPECT_TRUE(hardware::PciDevices(notes).empty());
    EXPECT_TRUE(hardware::Drivers(notes).empty());
    EXPECT_EQ((Notes{"No /proc/cpuinfo: processors not listed", "No memory total in /proc/meminfo",
                     "No SMBIOS table: firmware and memory modules not listed", "No disks in /sys/block",
                     "No network adapters in /sys/class/net", "No PCI devices in /sys/bus/pci/devices",
                     "No kernel module states a version"}),
              notes);
}

TEST(LinuxHardware, ProcessorsMemoryAndTheKernelsFirmwareSummary) {
    FakeTree tree;
    tree.Write("/proc/cpuinfo", "processor: 0\nmodel name: Varn X\nphysical id: 0\ncpu cores: 1\ncpu MHz: 800.0\n");
    tree.Write("/sys/devices/system/cpu/cpu0/cpufreq/cpuinfo_max_freq", "3600000\n");
    tree.Write("/proc/meminfo", "MemTotal: 2048 kB\n");
    tree.Write("/sys/class/dmi/id/bios_version", "V1.0 \n");
    tree.Write("/sys/class/dmi/id/bios_vendor", "Varn\n");
    Notes notes;
    const std::vector<ProcessorFacts> processors = hardware::Processors(notes);
    ASSERT_EQ(1u, processors.size());
    EXPECT_EQ(3600u, processors[0].clockMHz);   // the rated clock, not the current one
    const MemoryFacts memory = hardware::Memory(notes);
    EXPECT_EQ(2048u * 1024, memory.totalBytes);
    const SmbiosFacts firmware = hardware::Firmware(notes);
    EXPECT_EQ("V1.0", firmware.bios.version);
    EXPECT_EQ("Varn", firmware.bios.vendor);
    // Said once per look; the collector logs each note once.
    EXPECT_EQ((Notes{"No SMBIOS table: memory modules not listed", "No SMBIOS table: memory modules not listed"}),
              notes);
}

// A number the machine states that the conversion cannot hold is absent, never
// wrapped; a file of more parts than any machine has is read up to a cap.
TEST(LinuxHardware, NumbersBeyondRangeAreAbsentAndCountsAreCapped) {
    std::string manyPackages;
    for (int i = 0; i <= 256; ++i)
        manyPackages += "processor: " + std::to_string(i) + "\nphysical id: " + std::to_string(i) + "\n\n";
    const struct {
        const char* what;
        const char* path;
        std::string content;
        std::string found;   // what the part then reads
        Notes notes;
    } cases[] = {
        {"clock in kHz beyond 32 bits of MHz", "/sys/devices/system/cpu/cpu0/cpufreq/cpuinfo_max_freq",
         "9999999999999999999\n", "1 CPU0 800",
         {"Processor clock of 9999999999999999999 kHz out of range: not used"}},
        {"adapter speed whose bits per second overflow", "/sys/class/net/eth0/speed", "99999999999999\n",
         "eth0 unknown", {}},
        {"more packages than any board has", "/proc/cpuinfo", manyPackages, "256 CPU0 0",
         {"Only the first 256 processors collected"}},
    };
    for (const auto& c : cases) {
        FakeTree tree;
        tree.Write("/proc/cpuinfo", "processor: 0\ncpu MHz: 800.0\n");
        tree.Write(c.path, c.content);
        Notes notes;
        std::string found;
        if (std::string(c.path).find("/net/") != std::string::npos) {
            for (const AdapterFacts& a : hardware::Adapters(notes))
                found = a.name + " " + (a.speedKnown ? std::to_string(a.speedBitsPerSecond) : "unknown");
        } else {
            const std::vector<ProcessorFacts> processors = hardware::Processors(notes);
            found = std::to_string(processors.size()) + " " + processors[0].deviceId + " " +
                    std::to_string(processors[0].clockMHz);
        }
        EXPECT_EQ(c.found, found) << c.what;
        EXPECT_EQ(c.notes, notes) << c.what;
    }
}

}  // namespace
