// The NVMe controllers of a fake /dev, and the admin command refused by what
// is no controller: a note, nothing else.
#include <gtest/gtest.h>

#include "fake_tree.h"
#include "nvme_admin.h"

namespace {

TEST(NvmeAdmin, ControllersAndARefusedCommand) {
    machinetest::FakeTree tree;
    for (const char* name : {"nvme0", "nvme12", "nvme0n1", "nvme-fabrics", "nvme", "sda"}) tree.Write(std::string("/dev/") + name, "");
    std::vector<std::string> notes;
    const std::vector<std::string> controllers = health::NvmeControllers(notes);
    EXPECT_EQ((std::vector<std::string>{"/dev/nvme0", "/dev/nvme12"}), controllers);
    HealthFacts facts;
    health::ReadNvmeControllers({"/dev/nvme0", "/dev/nvme7"}, health::NvmeAdminHealthLog, facts);
    EXPECT_TRUE(facts.disks.empty());
    EXPECT_EQ((std::vector<std::string>{"/dev/nvme0 gives no NVMe health log (Inappropriate ioctl for device)",
                                        "/dev/nvme7 cannot be opened (not there)"}),
              facts.notes);
}

}  // namespace
