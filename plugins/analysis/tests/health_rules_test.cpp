// The hardware-health rules: each row of the health classes that needs
// attention gives the finding that names its part, and healthy rows nothing.
#include <gtest/gtest.h>

#include "health_rules.h"
#include "support/sample_container.h"
#include "wyxcore/container.h"

namespace {

using Values = std::vector<std::pair<std::string, std::string> >;

std::vector<std::string> found(const TContainer& c) {
    std::vector<MachineFinding> findings;
    HealthFindings(c, findings);
    std::vector<std::string> out;
    for (const MachineFinding& f : findings)
        out.push_back(f.category + "/" + f.severity + " " + f.sourceKey + ": " + f.description);
    return out;
}

void declare(TContainer& c, const char* name, const std::vector<const char*>& properties) {
    std::vector<std::pair<std::string, TCIMType> > decls;
    for (const char* p : properties) decls.emplace_back(p, kCIMString);
    DeclareTestClass(c, name, decls);
}

TEST(HealthRules, EachPartThatNeedsAttention) {
    const struct {
        const char* what;
        std::vector<std::pair<const char*, Values> > rows;
        std::vector<std::string> expected;
    } cases[] = {
        {"healthy parts give nothing",
         {{"VARNSG_MemoryErrorCounter", {{"Controller", "mc0"}, {"Label", "A1"}, {"CorrectedCount", "9"}, {"UncorrectedCount", "0"}}},
          {"VARNSG_DiskHealth", {{"DeviceID", "/dev/sda"}, {"Assessment", "Passed"}, {"PendingSectors", "0"},
                                 {"AvailableSpare", "100"}, {"AvailableSpareThreshold", "10"}, {"PercentageUsed", "99"}}},
          {"VARNSG_DiskSMARTAttribute", {{"DeviceID", "/dev/sda"}, {"AttributeID", "5"}, {"WhenFailed", "past"}}},
          {"VARNSG_PCIErrorCounter", {{"Address", "0000:00:01.0"}, {"CorrectableCount", "50"}, {"FatalCount", "0"}}},
          {"VARNSG_HardwareErrorRecord", {{"RecordID", "mc_event:1"}, {"Kind", "Memory"}, {"Severity", "Error"}}}},
         {}},
        {"DIMMs: uncorrected, and corrected at the threshold with the window",
         {{"VARNSG_MemoryControllerErrors", {{"Controller", "mc0"}, {"SecondsSinceReset", "172800"}}},
          {"VARNSG_MemoryErrorCounter", {{"Controller", "mc0"}, {"Label", "A1"}, {"CorrectedCount", "10"}, {"UncorrectedCount", "2"}}},
          {"VARNSG_MemoryErrorCounter", {{"Controller", "mc1"}, {"Label", "B1"}, {"CorrectedCount", "1"}, {"UncorrectedCount", "1"}}}},
         {"Memory/Error Controller=mc0, Label=A1: DIMM A1 (mc0): 2 uncorrected memory errors; 10 corrected memory "
          "errors in 48 hours since the counters were reset",
          "Memory/Error Controller=mc1, Label=B1: DIMM B1 (mc1): 1 uncorrected memory error"}},
        {"a controller's errors tied to no DIMM",
         {{"VARNSG_MemoryControllerErrors", {{"Controller", "mc0"}, {"Name", "IMC#0"}, {"UncorrectedNoInfoCount", "1"},
                                             {"CorrectedNoInfoCount", "12"}}},
          {"VARNSG_MemoryControllerErrors", {{"Controller", "mc1"}, {"CorrectedNoInfoCount", "9"}}}},
         {"Memory/Error Controller=mc0: Memory controller mc0 (IMC#0): 1 uncorrected memory error not tied to a DIMM; "
          "12 corrected memory errors not tied to a DIMM"}},
        {"corrected errors alone: a warning",
         {{"VARNSG_MemoryErrorCounter", {{"Controller", "mc0"}, {"Label", "A2"}, {"CorrectedCount", "11"}}}},
         {"Memory/Warning Controller=mc0, Label=A2: DIMM A2 (mc0): 11 corrected memory errors"}},
        {"a failed ATA disk with an attribute failing now",
         {{"VARNSG_DiskHealth", {{"DeviceID", "/dev/sdc"}, {"Model", "VARN HD2000"}, {"SerialNumber", "WD1"},
                                 {"Assessment", "Failed"}, {"ReallocatedSectors", "4080"}, {"PendingSectors", "1"}}},
          {"VARNSG_DiskSMARTAttribute", {{"DeviceID", "/dev/sdc"}, {"AttributeID", "5"}, {"Name", "Reallocated_Sector_Ct"},
                                         {"Value", "1"}, {"Threshold", "36"}, {"WhenFailed", "now"}}}},
         {"Disk/Error DeviceID=/dev/sdc, AttributeID=5: Disk VARN HD2000 (serial WD1, /dev/sdc): SMART attribute 5 "
          "Reallocated_Sector_Ct failing now (value 1, threshold 36)",
          "Disk/Error DeviceID=/dev/sdc: Disk VARN HD2000 (serial WD1, /dev/sdc): SMART overall assessment failed; "
          "4080 reallocated sectors, 1 pending sector"}},
        {"sectors alone: a warning",
         {{"VARNSG_DiskHealth", {{"DeviceID", "/dev/sdd"}, {"PendingSectors", "8"}}}},
         {"Disk/Warning DeviceID=/dev/sdd: Disk /dev/sdd (/dev/sdd): 8 pending sectors"}},
        {"an NVMe disk worn out, spare gone, critical warning",
         {{"VARNSG_DiskHealth", {{"DeviceID", "/dev/nvme0"}, {"Model", "VARN NVMe"}, {"CriticalWarning", "5"},
                                 {"MediaErrors", "2"}, {"AvailableSpare", "3"}, {"AvailableSpareThreshold", "10"},
                                 {"PercentageUsed", "104"}}}},
         {"Disk/Error DeviceID=/dev/nvme0: Disk VARN NVMe (/dev/nvme0): NVMe critical warning (spare below threshold, "
          "reliability degraded); available spare 3 % below its threshold 10 %; 2 media errors; 104 % of its rated "
          "life used"}},
        {"smartctl's status bits the rows do not show",
         {{"VARNSG_DiskHealth", {{"DeviceID", "/dev/sda"}, {"Model", "M"}, {"ToolExitStatus", "244"}}},
          {"VARNSG_DiskHealth", {{"DeviceID", "/dev/sdb"}, {"ToolExitStatus", "24"}, {"Assessment", "Failed"}}},
          {"VARNSG_DiskSMARTAttribute", {{"DeviceID", "/dev/sdb"}, {"AttributeID", "5"}, {"Name", "R"}, {"Value", "1"},
                                         {"Threshold", "36"}, {"WhenFailed", "now"}}},
          {"VARNSG_DiskHealth", {{"DeviceID", "/dev/sdc"}, {"ToolExitStatus", "0"}}}},
         {"Disk/Error DeviceID=/dev/sdb, AttributeID=5: Disk /dev/sdb (/dev/sdb): SMART attribute 5 R failing now "
          "(value 1, threshold 36)",
          "Disk/Error DeviceID=/dev/sda: Disk M (/dev/sda): smartctl reports a pre-failure attribute at or below its "
          "threshold; smartctl reports: a command to the disk failed or a reply's checksum was wrong, an attribute was "
          "at or below its threshold in the past, the device error log holds errors, the self-test log holds errors",
          "Disk/Error DeviceID=/dev/sdb: Disk /dev/sdb (/dev/sdb): SMART overall assessment failed"}},
        {"a SCSI disk with grown defects",
         {{"VARNSG_DiskHealth", {{"DeviceID", "/dev/sdb"}, {"GrownDefects", "12"}, {"UncorrectedErrors", "3"}}}},
         {"Disk/Warning DeviceID=/dev/sdb: Disk /dev/sdb (/dev/sdb): 12 grown defects, 3 uncorrected errors"}},
        {"PCIe fatal and non-fatal",
         {{"VARNSG_PCIErrorCounter", {{"Address", "0000:3b:00.0"}, {"Name", "X710"}, {"FatalCount", "1"}, {"NonFatalCount", "2"}}}},
         {"PCIe/Error Address=0000:3b:00.0: PCIe device 0000:3b:00.0 (X710): 1 fatal error; 2 non-fatal errors"}},
        {"PCIe non-fatal alone: a warning",
         {{"VARNSG_PCIErrorCounter", {{"Address", "0000:5e:00.0"}, {"NonFatalCount", "3"}}}},
         {"PCIe/Warning Address=0000:5e:00.0: PCIe device 0000:5e:00.0: 3 non-fatal errors"}},
        {"each machine check",
         {{"VARNSG_HardwareErrorRecord", {{"RecordID", "mce_record:1"}, {"Kind", "Machine check"}, {"Severity", "Error"},
                                          {"Component", "CPU 3"}, {"Message", "memory read error"}}},
          {"VARNSG_HardwareErrorRecord", {{"RecordID", "mce_record:2"}, {"Kind", "Machine check"}, {"Severity", "Warning"},
                                          {"Message", "cache error"}}}},
         {"Machine check/Error RecordID=mce_record:1: Machine check on CPU 3: memory read error",
          "Machine check/Warning RecordID=mce_record:2: Machine check: cache error"}},
        {"counts that are not numbers count as none",
         {{"VARNSG_MemoryErrorCounter", {{"Label", "A1"}, {"UncorrectedCount", "-1"}, {"CorrectedCount", "many"}}}},
         {}},
    };
    for (const auto& c : cases) {
        TContainer container(TContainer::kEmpty);
        declare(container, "VARNSG_MemoryErrorCounter", {"Controller", "Label", "CorrectedCount", "UncorrectedCount"});
        declare(container, "VARNSG_MemoryControllerErrors",
                {"Controller", "Name", "SecondsSinceReset", "UncorrectedNoInfoCount", "CorrectedNoInfoCount"});
        declare(container, "VARNSG_DiskHealth",
                {"DeviceID", "Model", "SerialNumber", "Assessment", "ReallocatedSectors", "PendingSectors",
                 "OfflineUncorrectable", "ReportedUncorrectable", "MediaErrors", "GrownDefects", "UncorrectedErrors",
                 "CriticalWarning", "AvailableSpare", "AvailableSpareThreshold", "PercentageUsed", "ToolExitStatus"});
        declare(container, "VARNSG_DiskSMARTAttribute", {"DeviceID", "AttributeID", "Name", "Value", "Threshold", "WhenFailed"});
        declare(container, "VARNSG_PCIErrorCounter", {"Address", "Name", "FatalCount", "NonFatalCount", "CorrectableCount"});
        declare(container, "VARNSG_HardwareErrorRecord", {"RecordID", "Kind", "Severity", "Component", "Message"});
        for (const auto& row : c.rows) AddTestInstance(container, row.first, row.second);
        EXPECT_EQ(c.expected, found(container)) << c.what;
    }
}

}  // namespace
