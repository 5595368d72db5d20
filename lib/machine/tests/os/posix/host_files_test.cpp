// The bounded reader: every read costs at most its limit, and under a fake
// root nothing outside it is read, however a link leads there.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "fake_tree.h"
#include "host_files.h"
#include "hardware_facts.h"
#include "machine_facts.h"

namespace {

namespace fs = std::filesystem;
using machinetest::FakeTree;

// A file beside the fake root, which the tree must not reach.
class Secret {
public:
    explicit Secret(const FakeTree& tree) : dir_(tree.Path() + "-outside") {
        fs::create_directories(dir_);
        std::ofstream(file().c_str()) << "root:secret\n";
    }
    ~Secret() {
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }
    std::string dir() const { return dir_; }
    std::string file() const { return dir_ + "/shadow"; }

private:
    std::string dir_;
};

TEST(HostFiles, ValuesAreBoundedAndStayInsideTheRoot) {
    FakeTree tree;
    const Secret secret(tree);
    tree.Write("/sys/a", "value\n");
    tree.Write("/sys/big", std::string(1 << 20, 'x'));
    tree.Write("/sys/nul", std::string("ab\0cd\n", 6));
    tree.Link("/sys/inside", "a");
    tree.Link("/sys/inside-absolute", tree.Path("/sys/a"));
    tree.Link("/sys/out-absolute", secret.file());
    tree.Link("/sys/out-relative", "../../" + fs::path(secret.dir()).filename().string() + "/shadow");
    tree.Link("/sys/out-folder", secret.dir());
    tree.Link("/sys/zero", "/dev/zero");
    const struct {
        const char* path;
        std::string value;
    } cases[] = {
        {"/sys/a", "value"},
        {"/sys/big", std::string(hostfs::kValueLimit, 'x')},   // a page, however long the file
        {"/sys/nul", "ab"},                                    // a NUL ends the text
        {"/sys/inside", "value"},
        {"/sys/inside-absolute", "value"},
        {"/sys/out-absolute", ""},
        {"/sys/out-relative", ""},
        {"/sys/out-folder/shadow", ""},
        {"/sys/zero", ""},
        {"/sys/missing", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(c.value, hostfs::ReadValue(c.path)) << c.path;

    Notes notes;
    EXPECT_TRUE(hostfs::List("/sys/out-folder", notes).empty());
    EXPECT_FALSE(hostfs::Exists("/sys/out-folder/shadow"));
    fs::create_symlink("../../bus/drivers/e1000e", secret.dir() + "/driver");
    EXPECT_EQ("", hostfs::LinkName("/sys/out-folder/driver"));
    EXPECT_TRUE(notes.empty());

    // Without a fake root the kernel's own links are followed wherever they lead.
    machinetest::ScopedEnv unrooted("WYX_SYSFS_ROOT", nullptr);
    EXPECT_EQ("root:secret", hostfs::ReadValue(tree.Path("/sys/out-absolute")));
    EXPECT_EQ("e1000e", hostfs::LinkName(tree.Path("/sys/out-folder/driver")));
}

TEST(HostFiles, ListingsAndWholeFilesSayWhereTheyStopped) {
    FakeTree tree;
    for (size_t i = 0; i <= hostfs::kListLimit; ++i) tree.Write("/sys/many/e" + std::to_string(i), "");
    tree.Write("/proc/big", std::string(100, 'y'));
    Notes notes;
    EXPECT_EQ(hostfs::kListLimit, hostfs::List("/sys/many", notes).size());
    std::string text;
    ASSERT_TRUE(hostfs::ReadFile("/proc/big", 100, &text, notes));
    EXPECT_EQ(100u, text.size());
    ASSERT_TRUE(hostfs::ReadFile("/proc/big", 10, &text, notes));
    EXPECT_EQ(std::string(10, 'y'), text);
    EXPECT_EQ((Notes{"Only the first 4096 entries of /sys/many read", "Only the first 10 bytes of /proc/big read"}),
              notes);
}

// The identity folder is the user's: its links are followed, its files bounded.
TEST(HostFiles, IdentityFilesAreBoundedWhereverTheyLead) {
    FakeTree tree;
    const std::string dir = tree.Path("/dmi");
    tree.Write("/dmi/sys_vendor", std::string(20 << 20, 'V'));
    tree.Link("/dmi/product_serial", "/dev/zero");
    tree.Write("/elsewhere/name", "8841-AB1\n");
    tree.Link("/dmi/product_name", tree.Path("/elsewhere/name"));
    const MachineIdentity identity = machine::IdentityFromDirectory(dir);
    EXPECT_EQ(std::string(hostfs::kValueLimit, 'V'), identity.manufacturer);
    EXPECT_EQ("8841-AB1", identity.model);
    EXPECT_EQ("", identity.serialNumber);
}

}  // namespace
