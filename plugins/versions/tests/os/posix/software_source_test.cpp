#include <gtest/gtest.h>

#include "fake_tree.h"
#include "software_facts.h"

namespace {

TEST(LinuxSoftware, OperatingSystemFromOsReleaseAndTheKernel) {
    const struct {
        const char* osRelease;   // null: no file
        const char* kernel;
        std::vector<std::string> found;   // "name|version|caption"
    } cases[] = {
        {"NAME=\"Debian GNU/Linux\"\nVERSION_ID=\"12\"\nPRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\n", "6.1.0-18-amd64\n",
         {"Operating system|12|Debian GNU/Linux 12 (bookworm)", "Linux kernel|6.1.0-18-amd64|"}},
        {"NAME='Varn OS'\nVERSION_ID=3.1\n", "", {"Operating system|3.1|Varn OS"}},
        {"NAME=rolling\n", "6.7\n", {"Linux kernel|6.7|"}},   // no version: nothing to compare
        {nullptr, "6.7\n", {"Linux kernel|6.7|"}},
    };
    for (const auto& c : cases) {
        machinetest::FakeTree tree;
        if (c.osRelease) tree.Write("/etc/os-release", c.osRelease);
        tree.Write("/proc/sys/kernel/osrelease", c.kernel);
        Notes notes;
        std::vector<std::string> found;
        for (const SoftwareFacts& os : software::OperatingSystem(notes)) {
            EXPECT_EQ("Operating system", os.kind);
            found.push_back(os.name + "|" + os.version + "|" + os.caption);
        }
        EXPECT_EQ(c.found, found) << (c.osRelease ? c.osRelease : "no os-release");
        EXPECT_EQ(c.osRelease == nullptr, notes == Notes{"No os-release file"});
    }
}

TEST(LinuxSoftware, PackagesFromDpkgsStatusOrANote) {
    machinetest::FakeTree tree;
    Notes notes;
    EXPECT_TRUE(software::Packages(notes).empty());
    EXPECT_EQ(Notes{"No dpkg status file: installed packages not listed"}, notes);
    tree.Write("/var/lib/dpkg/status", "Package: a\nStatus: install ok installed\nVersion: 1\n");
    EXPECT_EQ(1u, software::Packages(notes).size());
}

}  // namespace
