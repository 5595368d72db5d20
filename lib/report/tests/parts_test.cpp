#include <gtest/gtest.h>

#include "finding_groups.h"
#include "parts.h"
#include "plural.h"
#include "support/sample_container.h"

namespace {

std::string named(const std::vector<PartName>& names) {
    std::string out;
    for (const PartName& n : names)
        out += (out.empty() ? "" : "; ") + std::string(PartKindName(n.kind)) + " " + n.key +
               (n.scheme.empty() ? "" : "@" + n.scheme);
    return out;
}

// Texts of several makers' processors, BIOSes and kernels, and the parts they name.
TEST(PartsNamedIn, NamesThePartsOfSeveralMakersNamingStyles) {
    const struct { const char* text; const char* parts; } cases[] = {
        {"Uncorrectable ECC error, DIMM 4 disabled", "DIMM 4"},
        {"Correctable ECC on DIMM_A4", "DIMM A4"},
        {"dimm-04 error", "DIMM 4"},
        {"Memory error at P1-DIMMA1", "DIMM P1DIMMA1"},
        {"CPU1_DIMM_A1 uncorrectable", "DIMM CPU1DIMMA1"},
        {"EDAC MC0: 1 CE on CPU_SrcID#0_MC#0_Chan#0_DIMM#0", "Controller MC0; DIMM CPUSRCID0MC0CHAN0DIMM0"},
        {"Temperature CPU 2 over warning threshold (86 C)", "Processor 2"},
        {"Processor 2 IERR", "Processor 2"},
        {"CPU2 Status: thermal trip", "Processor 2"},
        {"Power supply 1 AC lost", "Power supply 1"},
        {"PSU2 failure detected", "Power supply 2"},
        {"PS1 Status: presence deasserted", "Power supply 1"},
        {"Power supplies 1, 2 missing. ", "Power supply 1; Power supply 2"},
        {"Fan 3 missing. Fan 1 failed.", "Fan 3; Fan 1"},
        {"Fans 1, 2 and 4 missing. ", "Fan 1; Fan 2; Fan 4"},
        {"FAN3A below threshold", "Fan 3A"},
        {"Disk 5 predictive failure, replace the drive", "Disk 5"},
        {"I/O error, dev sdb, sector 2048", "Disk SDB"},
        {"nvme0n1p2: read error", "Disk NVME0N1"},
        {"AER: Corrected error received: 0000:3b:00.0", "PCIe device 0000:3b:00.0"},
        {"pcieport 3b:00.0: link down", "PCIe device 0000:3b:00.0"},
        {"RAID controller battery charge low (28%)", "Controller RAID"},
        {"BMC firmware updated", "Management controller "},
        {"VRM 1 failed", "Other VRM1"},
        // The regulators of the CPUs failed, not the CPUs.
        {"VRMs on CPU 1, CPU 2 failed", "Other VRMCPU1; Other VRMCPU2"},
        {"VRMs on CPU 1,  failed", "Other VRMCPU1"},
        {"System board voltages not in normal range. VRM on Planar failed", "Other VRMPLANAR"},
        {"Fan 2 failed. VRM on CPU 2 failed; CPU 2 throttled", "Fan 2; Other VRMCPU2; Processor 2"},
        // DASD devices are numbered across both backplanes.
        {"DASD backplane 1: device 1 missing. DASD backplane 2: device 12 missing. ", "Disk DASD1; Disk DASD12"},
        {"DASD backplane 2: devices 12, 13 failed.", "Disk DASD12; Disk DASD13"},
        // Nothing of a part: counts, words that merely begin like a kind, times and addresses.
        {"POST completed, 8 CPUs, 256 GB memory", ""},
        {"Fan speed control enabled", ""},
        {"PS/2 keyboard found", ""},
        {"Remote login from 10.0.0.12 at 07:00:00", ""},
        {"vdso mapped; SDRAM ok; fanatic", ""},
        {"Event log 75% full", ""},
        {"", ""},
        // The same part twice is one mention.
        {"Fan 3 failed; fan 3 still failed", "Fan 3"},
    };
    for (const auto& c : cases) EXPECT_EQ(named(PartsNamedIn(c.text)), c.parts) << c.text;
    EXPECT_EQ(named(PartsNamedIn("fan1 reads 0", "os")), "Fan 1@os");
    EXPECT_EQ(named(PartsNamedIn("DIMM 4 failed", "os")), "DIMM 4");   // DIMM labels are the board's
}

// Labels that sources give with their kind: equal keys are one part, others stay two.
TEST(NamePart, SameKindAndKeyMergeAndAnythingUnsureStaysApart) {
    const struct { PartKind kind; const char* a; const char* b; bool same; } cases[] = {
        {PartKind::kDimm, "DIMM 4", "DIMM4", true},
        {PartKind::kDimm, "DIMM_A4", "A4", true},          // SMBIOS locator and a board label
        {PartKind::kDimm, "DIMM_A04", "dimm a4", true},
        {PartKind::kDimm, "DIMM 4", "DIMM_A4", false},     // bank letter or not: unsure
        {PartKind::kDimm, "PROC 1 DIMM 4", "DIMM 4", false},
        {PartKind::kProcessor, "CPU 2", "Processor 2", true},
        {PartKind::kProcessor, "CPU 2", "CPU 1", false},
        {PartKind::kPowerSupply, "PSU1", "Power Supply 1", true},
        {PartKind::kPowerSupply, "PS 1", "PS1", true},
        {PartKind::kFan, "Fan 3", "FAN03", true},
        {PartKind::kDisk, "/dev/sda", "sda", true},
        {PartKind::kDisk, "sda", "sdb", false},
        {PartKind::kDisk, "Disk 5", "sda", false},
        {PartKind::kPcieDevice, "3b:00.0", "0000:3B:00.0", true},
        {PartKind::kPcieDevice, "0000:3b:00.0", "0001:3b:00.0", false},
        {PartKind::kController, "mc0", "MC0", true},
    };
    for (const auto& c : cases) {
        PartName a, b;
        ASSERT_TRUE(NamePart(c.kind, c.a, "", &a)) << c.a;
        ASSERT_TRUE(NamePart(c.kind, c.b, "", &b)) << c.b;
        EXPECT_EQ(a.key == b.key, c.same) << c.a << " / " << c.b << ": " << a.key << " / " << b.key;
    }
    PartName name;
    EXPECT_FALSE(NamePart(PartKind::kDimm, "  ", "", &name));
    // A processor the OS numbers from 0 is not the service processor's CPU of the same number.
    PartName os, sp;
    ASSERT_TRUE(NamePart(PartKind::kProcessor, "CPU1", "os", &os));
    ASSERT_TRUE(NamePart(PartKind::kProcessor, "CPU 1", "", &sp));
    EXPECT_NE(os.scheme, sp.scheme);
}

const char kNow[] = "20261208120000.000000+000";

// parts as "Verdict Title [evidence count]" in report order.
std::string verdicts(const PartsReport& report) {
    std::string out;
    for (const Part& p : report.parts)
        out += (out.empty() ? "" : "; ") + std::string(VerdictName(p.verdict)) + " " + PartTitle(p) + " [" +
               std::to_string(p.evidence.size()) + "]";
    return out;
}

TCIMDateTime nowTime() {
    TCIMDateTime now;
    now.Set(2026, 12, 8, 12, 0, 0, 0, 0);
    return now;
}

void ulk(TContainer& c, int id, const char* severity, const char* stamp, const char* message) {
    AddTestInstance(c, "VARNSG_ULKLog", {{"RecordID", std::to_string(id)}, {"Severity", severity},
                                         {"MessageTimestamp", stamp}, {"Message", message}});
}

// Verdicts drawn from the evidence of every source, merged where the names agree.
TEST(BuildParts, VerdictFromEvidenceAcrossSources) {
    TContainer c;
    DeclareReportClasses(c);
    DeclarePartSourceClasses(c);
    ulk(c, 1, "2", "20261206124800.000000+000", "Fan 3 failed");
    ulk(c, 2, "1", "20261206120000.000000+000", "Fan 3 speed below warning threshold (2100 RPM)");
    ulk(c, 3, "2", "20261206160000.000000+000", "Power supply 1 AC lost");
    ulk(c, 4, "0", "20261206162000.000000+000", "Power supply 1 AC restored");
    ulk(c, 5, "2", "20261208000000.000000+000", "Disk 5 predictive failure, replace the drive");
    ulk(c, 6, "1", "20261207080000.000000+000", "Temperature CPU 2 over warning threshold (86 C)");
    ulk(c, 7, "0", "20261207090000.000000+000", "Temperature CPU 2 back to normal (71 C)");
    ulk(c, 8, "0", "20261205100000.000000+000", "System power on");
    ulk(c, 9, "1", "20261207120000.000000+000", "Event log 75% full");   // names no part
    // The same DIMM from the inventory, the EDAC counters and a hardware-error record.
    AddTestInstance(c, "VARNSG_PhysicalMemory", {{"Tag", "DIMM_A4"}});
    AddTestInstance(c, "VARNSG_MemoryErrorCounter",
                    {{"Label", "DIMM_A4"}, {"CorrectedCount", "0"}, {"UncorrectedCount", "2"}});
    AddTestInstance(c, "VARNSG_HardwareErrorRecord",
                    {{"RecordID", "1"}, {"MessageTimestamp", "20261207100000.000000+000"}, {"Severity", "Error"},
                     {"Kind", "Memory"}, {"Component", "dimm_a4"}, {"Message", "uncorrected error"}});
    AddTestInstance(c, "VARNSG_MemoryErrorCounter",
                    {{"Label", "DIMM_B1"}, {"CorrectedCount", "0"}, {"UncorrectedCount", "0"}});
    AddTestInstance(c, "VARNSG_DiskHealth", {{"DeviceID", "/dev/sda"}, {"Model", "M"}, {"Assessment", "Passed"}});
    AddTestInstance(c, "VARNSG_DiskDrive", {{"DeviceID", "sda"}, {"Model", "M"}, {"Status", "running"}});
    AddTestInstance(c, "VARNSG_PCIErrorCounter",
                    {{"Address", "0000:3b:00.0"}, {"CorrectableCount", "5"}, {"NonFatalCount", "0"},
                     {"FatalCount", "0"}});
    AddTestInstance(c, "VARNSG_Processor", {{"DeviceID", "CPU0"}});
    AddTestInstance(c, "VARNSG_SELRecord",
                    {{"RecordID", "1"}, {"MessageTimestamp", "20261207110000.000000+000"},
                     {"SensorType", "Power Supply"},
                     {"SensorNumber", "81"}, {"Direction", "Assertion"}, {"Message", "Failure detected"},
                     {"Severity", "Error"}});
    // The management controller's event log is full: it loses what comes.
    AddTestInstance(c, "VARNSG_SELInfo", {{"Source", "ipmi"}, {"Entries", "512"}, {"Overflow", "true"}});
    const PartsReport report = BuildParts(c, FindingSeverities(), nowTime());
    EXPECT_EQ(verdicts(report),
              "Failed Power Supply sensor 81 [1]; Failed DIMM_A4 [3]; Failed Fan 3 [2]; Degraded Disk 5 [1]; "
              "Warning CPU 2 [2]; Warning Power supply 1 [2]; Warning PCIe device 0000:3b:00.0 [1]; Warning BMC [1]; "
              "OK DIMM_B1 [1]; OK Disk sda [2]; Unknown CPU0 [1]");
    EXPECT_EQ(report.failing, 4u);
    EXPECT_EQ(report.warnings, 4u);
    EXPECT_EQ(report.unplaced, 1u);
    EXPECT_EQ(PartsHeadline(report), "4 parts failing, 4 with warnings");
    const Part& dimm = report.parts[1];
    EXPECT_EQ(dimm.aliases, std::vector<std::string>({"dimm_a4"}));
    EXPECT_EQ(dimm.evidence.front().className, "VARNSG_HardwareErrorRecord");   // the timed evidence first
    EXPECT_EQ(dimm.reason, "uncorrected error");
    EXPECT_EQ(report.parts[5].reason, "Power supply 1 AC lost (later: Power supply 1 AC restored)");
}

TEST(BuildParts, TheAnalysisRaisesARecordAndNeverLowersIt) {
    TContainer c;
    DeclareReportClasses(c);
    DeclarePartSourceClasses(c);
    ulk(c, 1, "0", "20261206124800.000000+000", "Fan 2 at 300 RPM");
    ulk(c, 2, "2", "20261206124800.000000+000", "Fan 4 at 300 RPM");
    AddTestInstance(c, "VARNSG_NumericSensor", {{"Name", "fan1"}, {"Device", "it87"}, {"SensorType", "Fan"},
                                                {"CurrentReading", "0"}});
    FindingSeverities findings;
    findings[{"VARNSG_ULKLog", "RecordID=1"}] = "Error";
    findings[{"VARNSG_ULKLog", "RecordID=2"}] = "Info";
    findings[{"VARNSG_NumericSensor", "Name=fan1, Device=it87"}] = "Error";
    EXPECT_EQ(verdicts(BuildParts(c, findings, nowTime())), "Failed Fan 2 [1]; Failed Fan 4 [1]; Failed fan1 [1]");
}

// A collection without parts, thousands of them, hostile names and clocks gone wrong.
TEST(BuildParts, BadInputStillGivesAVerdictThatClaimsNoMore) {
    {
        TContainer c;
        const PartsReport report = BuildParts(c, FindingSeverities(), nowTime());
        EXPECT_TRUE(report.parts.empty());
        EXPECT_EQ(PartsHeadline(report), "No part failing or with warnings");
    }
    {
        TContainer c;
        DeclareReportClasses(c);
        DeclarePartSourceClasses(c);
        for (int i = 0; i < 3000; ++i)
            AddTestInstance(c, "VARNSG_MemoryErrorCounter",
                            {{"Label", "DIMM_" + std::to_string(i)}, {"UncorrectedCount", i == 1234 ? "1" : "0"}});
        const PartsReport report = BuildParts(c, FindingSeverities(), nowTime());
        EXPECT_EQ(report.parts.size(), 3000u);
        EXPECT_EQ(report.failing, 1u);
        EXPECT_EQ(report.parts.front().name, "DIMM_1234");
    }
    {
        TContainer c;
        DeclareReportClasses(c);
        DeclarePartSourceClasses(c);
        // Markup and 8-bit bytes stay as the source wrote them; the writers escape them.
        AddTestInstance(c, "VARNSG_MemoryErrorCounter", {{"Label", "<b>DIMM\xE9" "4</b>"}, {"UncorrectedCount", "1"}});
        // Two sources name "CPU 3" with clashing kinds: two parts, neither merged into the other.
        AddTestInstance(c, "VARNSG_HardwareErrorRecord", {{"RecordID", "1"}, {"Severity", "Error"},
                                                          {"Kind", "Memory"}, {"Component", "CPU 3"}});
        AddTestInstance(c, "VARNSG_HardwareErrorRecord", {{"RecordID", "2"}, {"Severity", "Warning"},
                                                          {"Kind", "Machine check"}, {"Component", "CPU 3"}});
        // A time in the future and one before 1990: evidence, but not the latest.
        ulk(c, 1, "1", "20990101000000.000000+000", "Fan 7 low");
        ulk(c, 2, "1", "19800101000000.000000+000", "Fan 7 low");
        const PartsReport report = BuildParts(c, FindingSeverities(), nowTime());
        EXPECT_EQ(verdicts(report),
                  "Failed <b>DIMM\xE9" "4</b> [1]; Failed DIMM CPU 3 [1]; Warning CPU 3 [1]; Warning Fan 7 [2]");
        EXPECT_FALSE(report.parts[3].hasLatest);
    }
}

}  // namespace

namespace {

TEST(FindingText, APieceTheNextBeginsWithIsSaidOnce) {
    const struct { const char* category; const char* description; const char* message; const char* text; } cases[] = {
        {"Voltage", "Voltage fault", "Voltage fault: 12V A", "Voltage fault: 12V A"},
        {"Fan", "Fan missing or failed", "Fan 3 failed", "Fan missing or failed: Fan 3 failed"},
        {"Temperature", "Over temperature", "Over temperature: CPU 1 thermal trip",
         "Temperature: Over temperature: CPU 1 thermal trip"},
        {"Watchdog", "Server restarted by a watchdog", "", "Watchdog: Server restarted by a watchdog"},
        {"OS log", "12 errors from kernel", "I/O error", "OS log: 12 errors from kernel: I/O error"},
        {"Machine check", "Machine check on CPU 3: cache error (bank L2)", "cache error (bank L2)",
         "Machine check on CPU 3: cache error (bank L2)"},
    };
    for (const auto& c : cases) EXPECT_EQ(FindingText(c.category, c.description, c.message), c.text) << c.text;
}

TEST(Counted, OneAndMany) {
    EXPECT_EQ(Counted(1, "instance"), "1 instance");
    EXPECT_EQ(Counted(0, "instance"), "0 instances");
    EXPECT_EQ(Counted(1, "piece of evidence", "pieces of evidence"), "1 piece of evidence");
    EXPECT_EQ(Counted(2, "group"), "2 groups");
}

}  // namespace
