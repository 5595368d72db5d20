// EDAC and AER counters read from fake trees: both EDAC layouts, the
// controller totals, and every malformed value left unknown with a note.
#include <gtest/gtest.h>

#include "edac_counters.h"
#include "fake_tree.h"
#include "pci_aer.h"

namespace {

using machinetest::FakeTree;

std::string shown(const Count& count) { return count.known ? std::to_string(count.value) : "?"; }

// A DIMM as "controller|label|location|size|type|ce|ue".
std::string row(const MemoryCounterFacts& d) {
    return d.controller + "|" + d.label + "|" + d.location + "|" + shown(d.sizeMB) + "|" + d.memoryType + "|" +
           shown(d.corrected) + "|" + shown(d.uncorrected);
}

bool noted(const std::vector<std::string>& notes, const std::string& part) {
    for (const std::string& note : notes)
        if (note.find(part) != std::string::npos) return true;
    return false;
}

const std::string kMc = "/sys/devices/system/edac/mc/";

TEST(EdacCounters, BothLayoutsAndBadValues) {
    const struct {
        const char* what;
        std::vector<std::pair<std::string, std::string> > files;
        std::vector<std::string> dimms;
        std::vector<std::string> notes;   // parts of expected notes
    } cases[] = {
        {"no EDAC at all", {}, {}, {"No EDAC memory controllers"}},
        {"dimm layout",
         {{"mc0/dimm0/dimm_label", "CPU_SrcID#0_MC#0_Chan#0_DIMM#0\n"},
          {"mc0/dimm0/dimm_location", "channel 0 slot 0\n"},
          {"mc0/dimm0/size", "32768\n"},
          {"mc0/dimm0/dimm_mem_type", "Registered-DDR4\n"},
          {"mc0/dimm0/dimm_ce_count", "12\n"},
          {"mc0/dimm0/dimm_ue_count", "0\n"},
          {"mc0/rank1/dimm_label", "B1\n"},
          {"mc0/rank1/dimm_ce_count", "0\n"},
          {"mc0/rank1/dimm_ue_count", "2\n"}},
         {"mc0|CPU_SrcID#0_MC#0_Chan#0_DIMM#0|channel 0 slot 0|32768|Registered-DDR4|12|0", "mc0|B1||?||0|2"},
         {}},
        {"csrow layout: one row per channel, the row's uncorrected count apart when shared",
         {{"mc1/csrow0/ch0_ce_count", "5\n"},
          {"mc1/csrow0/ch0_dimm_label", "DIMM_A1\n"},
          {"mc1/csrow0/ch1_ce_count", "0\n"},
          {"mc1/csrow0/ch1_dimm_label", "DIMM_B1\n"},
          {"mc1/csrow0/ue_count", "3\n"},
          {"mc1/csrow0/mem_type", "Unbuffered-DDR3\n"},
          {"mc1/csrow1/ch0_ce_count", "1\n"},
          {"mc1/csrow1/ch0_dimm_label", "DIMM_A2\n"},
          {"mc1/csrow1/ue_count", "4\n"},
          {"mc1/csrow1/size_mb", "8192\n"}},
         {"mc1|DIMM_A1|csrow0 channel 0|?|Unbuffered-DDR3|5|?", "mc1|DIMM_B1|csrow0 channel 1|?|Unbuffered-DDR3|0|?",
          "mc1|csrow0|csrow0 (all channels)|?|Unbuffered-DDR3|?|3", "mc1|DIMM_A2|csrow1 channel 0|8192||1|4"},
         {}},
        {"bad values: unknown, noted, the rest kept",
         {{"mc0/dimm0/dimm_label", "A1\n"},
          {"mc0/dimm0/dimm_ce_count", "lots\n"},
          {"mc0/dimm0/dimm_ue_count", "-1\n"},
          {"mc0/dimm0/size", "99999999999999999999999\n"},
          {"mc0/dimm1/dimm_label", "A2\n"},
          {"mc0/dimm1/dimm_ce_count", "4294967296\n"},
          {"mc0/dimm1/dimm_ue_count", std::string("1\0" "7", 3)},
          {"mc0/dimm2/dimm_ce_count", "7\n"},
          {"mc0/dimm2/dimm_location", "channel 2 slot 1\n"},
          {"mc0/dimm3/dimm_ue_count", std::string(5000, '9')}},
         {"mc0|A1||?||?|?", "mc0|A2||?||?|1", "mc0|channel 2 slot 1|channel 2 slot 1|?||7|?", "mc0|mc0 dimm3||?||?|?"},
         {"dimm0/dimm_ce_count: not a count: \"lots\"", "dimm0/dimm_ue_count: not a count: \"-1\"",
          "dimm0/size: not a count", "dimm1/dimm_ce_count: count out of range: 4294967296",
          "dimm2/: no DIMM label", "dimm3/: no DIMM label", "dimm3/dimm_ue_count: not a count: \"9999"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FakeTree tree;
        tree.Write("/sys/devices/system/edac/power/x", "");
        for (const auto& file : c.files) tree.Write(kMc + file.first, file.second);
        HealthFacts facts;
        health::ReadEdac(facts);
        std::vector<std::string> dimms;
        for (const MemoryCounterFacts& d : facts.dimms) dimms.push_back(row(d));
        EXPECT_EQ(c.dimms, dimms);
        for (const std::string& part : c.notes) EXPECT_TRUE(noted(facts.notes, part)) << part;
        if (c.notes.empty()) {
            EXPECT_EQ(std::vector<std::string>(), facts.notes);
        }
        for (const MemoryCounterFacts& d : facts.dimms) EXPECT_EQ("edac sysfs", d.source);
    }
}

TEST(EdacCounters, ControllerTotalsAndAThousandDimms) {
    FakeTree tree;
    tree.Write(kMc + "mc0/mc_name", "Skylake Socket#0 IMC#0\n");
    tree.Write(kMc + "mc0/ce_count", "1000\n");
    tree.Write(kMc + "mc0/ue_count", "1\n");
    tree.Write(kMc + "mc0/ce_noinfo_count", "2\n");
    tree.Write(kMc + "mc0/ue_noinfo_count", "0\n");
    tree.Write(kMc + "mc0/seconds_since_reset", "86400\n");
    for (int i = 0; i < 1000; ++i) {
        tree.Write(kMc + "mc0/dimm" + std::to_string(i) + "/dimm_label", "D" + std::to_string(i) + "\n");
        tree.Write(kMc + "mc0/dimm" + std::to_string(i) + "/dimm_ce_count", "1\n");
    }
    HealthFacts facts;
    health::ReadEdac(facts);
    ASSERT_EQ(1u, facts.controllers.size());
    const MemoryControllerFacts& mc = facts.controllers[0];
    EXPECT_EQ("mc0|Skylake Socket#0 IMC#0|1000|1|2|0|86400",
              mc.controller + "|" + mc.name + "|" + shown(mc.corrected) + "|" + shown(mc.uncorrected) + "|" +
                  shown(mc.correctedNoInfo) + "|" + shown(mc.uncorrectedNoInfo) + "|" + shown(mc.secondsSinceReset));
    EXPECT_EQ(1000u, facts.dimms.size());
    EXPECT_TRUE(facts.notes.empty());
}

TEST(PciAer, CountersTotalsNamesAndBadLines) {
    FakeTree tree;
    const std::string nic = "/sys/bus/pci/devices/0000:3b:00.0/";
    tree.Write(nic + "aer_dev_correctable", "RxErr 3\nBadTLP 0\nTOTAL_ERR_COR 3\n");
    tree.Write(nic + "aer_dev_nonfatal", "Undefined 0\nCmpltTO 2\nTOTAL_ERR_NONFATAL 2\n");
    tree.Write(nic + "aer_dev_fatal", "DLP 1\nSurpDown 0\nTOTAL_ERR_FATAL 1\n");
    const std::string port = "/sys/bus/pci/devices/0000:00:01.0/";
    tree.Write(port + "aer_rootport_total_err_cor", "7\n");
    tree.Write(port + "aer_rootport_total_err_fatal", "1\n");
    tree.Write(port + "aer_rootport_total_err_nonfatal", "x\n");
    const std::string odd = "/sys/bus/pci/devices/0000:5e:00.0/";
    tree.Write(odd + "aer_dev_correctable", "RxErr -4\nno\xff" "name 1\nTOTAL_ERR_COR 99999999999\n" +
                                                std::string(8000, 'A'));
    tree.Write("/sys/bus/pci/devices/0000:00:1f.0/vendor", "0x8086\n");   // no AER: not listed
    PciFacts named;
    named.slot = "0000:3b:00.0";
    named.name = "Ethernet Controller X710";
    HealthFacts facts;
    health::ReadPciAer({named}, facts);
    ASSERT_EQ(3u, facts.pciDevices.size());
    const struct {
        const char *address, *name, *totals;
        std::vector<std::string> counters;
    } expected[] = {
        {"0000:00:01.0", "", "?|?|?", {"rootport_total_err_cor=7", "rootport_total_err_fatal=1"}},
        {"0000:3b:00.0", "Ethernet Controller X710", "3|2|1",
         {"RxErr=3", "BadTLP=0", "Undefined=0", "CmpltTO=2", "DLP=1", "SurpDown=0"}},
        {"0000:5e:00.0", "", "?|?|?", {}},
    };
    for (size_t i = 0; i < 3; ++i) {
        const PciErrorFacts& d = facts.pciDevices[i];
        SCOPED_TRACE(d.address);
        EXPECT_EQ(expected[i].address, d.address);
        EXPECT_EQ(expected[i].name, d.name);
        EXPECT_EQ(expected[i].totals, shown(d.correctable) + "|" + shown(d.nonFatal) + "|" + shown(d.fatal));
        EXPECT_EQ(expected[i].counters, d.counters);
    }
    for (const char* part : {"aer_rootport_total_err_nonfatal: not a count", "RxErr: not a count: \"-4\"",
                             "not a counter line: \"no\\xffname 1\"", "TOTAL_ERR_COR: count out of range"})
        EXPECT_TRUE(noted(facts.notes, part)) << part;
}

}  // namespace
