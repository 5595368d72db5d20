// smartctl's JSON decoded from files written for each kind of disk, and the
// runs of the tool driven through a scripted runner: every way a run can end.
#include <gtest/gtest.h>

#include <fstream>
#include <chrono>
#include <map>
#include <sstream>
#include <thread>

#include "smartctl_disks.h"
#include "smartctl_json.h"

namespace {

std::string data(const std::string& name) {
    std::ifstream file(std::string(HEALTH_TEST_DATA) + "/" + name, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    EXPECT_FALSE(text.str().empty()) << name;
    return text.str();
}

std::string shown(const Count& count) { return count.known ? std::to_string(count.value) : "?"; }

// The decoded disk as one line: identity, verdict, then its counters.
std::string summary(const DiskHealthFacts& d) {
    return d.deviceId + "|" + d.model + "|" + d.serialNumber + "|" + d.firmware + "|" + d.protocol + "|" +
           d.assessment + "|" + (d.temperatureKnown ? std::to_string(d.temperature) : "?") + "|" +
           shown(d.powerOnHours) + "|" + (d.toolStatusKnown ? std::to_string(d.toolStatus) : "?") + " ata " +
           shown(d.reallocated) + "," + shown(d.pending) + "," + shown(d.offlineUncorrectable) + "," +
           shown(d.reportedUncorrectable) + "," + shown(d.crcErrors) + " nvme " + shown(d.criticalWarning) + "," +
           shown(d.mediaErrors) + "," + shown(d.percentageUsed) + "," + shown(d.availableSpare) + "," +
           shown(d.spareThreshold) + "," + shown(d.unsafeShutdowns) + " scsi " + shown(d.grownDefects) + "," +
           shown(d.uncorrectedErrors);
}

std::string attribute(const SmartAttributeFacts& a) {
    return std::to_string(a.id) + " " + a.name + " " + shown(a.value) + "/" + shown(a.worst) + "/" +
           shown(a.threshold) + " raw " + a.raw + (a.whenFailed.empty() ? "" : " failed " + a.whenFailed);
}

TEST(SmartctlJson, EachKindOfDisk) {
    const struct {
        const char* file;
        bool decoded;
        std::string summary;
        std::vector<std::string> attributes;   // empty: not checked beyond the count
        size_t attributeCount;
        size_t notes;
    } cases[] = {
        {"ata_pending.json", true,
         "d|VARN HD4000|ZC1A2B3C|SN04|ATA|Passed|36|31874|64 ata 8,24,24,3,0 nvme ?,?,?,?,?,? scsi ?,?",
         {"1 Raw_Read_Error_Rate 81/64/44 raw 112039712", "5 Reallocated_Sector_Ct 100/100/10 raw 8",
          "187 Reported_Uncorrect 97/97/0 raw 3", "194 Temperature_Celsius 36/52/0 raw 36 (0 20 0 0 0)",
          "197 Current_Pending_Sector 100/100/0 raw 24", "198 Offline_Uncorrectable 100/100/0 raw 24",
          "199 UDMA_CRC_Error_Count 200/200/0 raw 0"},
         7, 0},
        {"ata_failed.json", true,
         "d|VARN HD2000|WD-FAIL01|01.01A01|ATA|Failed|41|52011|24 ata 4080,0,?,?,? nvme ?,?,?,?,?,? scsi ?,?",
         {"5 Reallocated_Sector_Ct 1/1/36 raw 4080 failed now", "197 Current_Pending_Sector 100/100/0 raw 0"}, 2, 0},
        {"nvme.json", true,
         "d|VARN NVMe 1.6TB|S5XNA0R|GDC7302Q|NVMe|Failed|44|20123|0 ata ?,?,?,?,? nvme 5,2,104,3,10,17 scsi ?,?", {}, 0,
         0},
        {"scsi.json", true,
         "d|VARN ST1200MM|S4000XYZ|N003|SCSI|Passed|30|40001|0 ata ?,?,?,?,? nvme ?,?,?,?,?,? scsi 12,3", {}, 0, 0},
        {"raid_member.json", true,
         "d|VARN SSD 960|RAID00SN|D3MU001|ATA|Passed|27|?|0 ata 0,?,?,?,? nvme ?,?,?,?,?,? scsi ?,?", {}, 1, 0},
        // A warning byte beyond a byte and an impossible temperature: unknown; the largest count kept.
        {"nvme_odd.json", true,
         "d|VARN NVMe odd|||NVMe|Unknown|?|?|0 ata ?,?,?,?,? nvme ?,18446744073709551615,0,100,10,? scsi ?,?", {}, 0, 1},
        {"error_exit.json", true, "d|||||Unknown|?|?|2 ata ?,?,?,?,? nvme ?,?,?,?,?,? scsi ?,?", {}, 0, 0},
        // Each member of the wrong type noted and unknown; the attribute with a good id kept.
        {"wrong_types.json", true, "d|||||Unknown|?|?|? ata ?,?,?,?,? nvme ?,?,?,?,?,? scsi ?,?",
         {"197  ?/?/? raw "}, 1, 17},
        {"no_json.txt", false, "d||||||?|?|? ata ?,?,?,?,? nvme ?,?,?,?,?,? scsi ?,?", {}, 0, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        DiskHealthFacts disk;
        disk.deviceId = "d";
        std::vector<std::string> notes;
        EXPECT_EQ(c.decoded, health::DecodeSmartctlDevice(data(c.file), disk, notes));
        EXPECT_EQ(c.summary, summary(disk));
        EXPECT_EQ(c.attributeCount, disk.attributes.size());
        std::vector<std::string> attributes;
        for (const SmartAttributeFacts& a : disk.attributes) attributes.push_back(attribute(a));
        if (!c.attributes.empty()) {
            EXPECT_EQ(c.attributes, attributes);
        }
        EXPECT_EQ(c.notes, notes.size()) << ::testing::PrintToString(notes);
        EXPECT_EQ(c.decoded ? "smartctl" : "", disk.source);
    }
}

TEST(SmartctlJson, ScanAndBrokenDocuments) {
    std::vector<health::SmartctlDevice> devices;
    std::vector<std::string> notes;
    ASSERT_TRUE(health::DecodeSmartctlScan(data("scan.json"), &devices, notes));
    std::vector<std::string> names;
    for (const auto& d : devices) names.push_back(d.name + " " + d.type);
    EXPECT_EQ((std::vector<std::string>{"/dev/sda sat", "/dev/nvme0 nvme", "/dev/sdb scsi", "/dev/bus/0 sat+megaraid,0"}),
              names);
    EXPECT_EQ(3u, notes.size());   // the option-like name, the number's type, the number skipped
    const struct {
        const char* what;
        std::string text;
        bool decoded;
    } broken[] = {
        {"no output", "", false},
        {"not JSON", data("no_json.txt"), false},
        {"cut short", data("scan.json").substr(0, 200), false},
        {"an array", "[1,2]", false},
        {"devices not a list", "{\"devices\": 3}", false},
        {"no devices member", "{\"smartctl\": {}}", true},
        {"deeply nested", std::string(100000, '[') + std::string(100000, ']'), false},
    };
    for (const auto& c : broken) {
        SCOPED_TRACE(c.what);
        std::vector<health::SmartctlDevice> none;
        std::vector<std::string> said;
        EXPECT_EQ(c.decoded, health::DecodeSmartctlScan(c.text, &none, said));
        EXPECT_TRUE(none.empty());
        EXPECT_EQ(c.decoded ? 0u : 1u, said.size());
    }
}

// What the scripted smartctl answers, by the last argument of the call.
std::map<std::string, TChildRun>& script() {
    static std::map<std::string, TChildRun> answers;
    return answers;
}
std::vector<std::string>& calls() {
    static std::vector<std::string> made;
    return made;
}

TChildRun scripted(const std::string&, const std::vector<std::string>& arguments, unsigned timeout, size_t limit) {
    std::string call;
    for (const std::string& a : arguments) call += (call.empty() ? "" : " ") + a;
    calls().push_back(call);
    EXPECT_LE(timeout, health::kSmartctlRunMillis);
    EXPECT_EQ(health::kSmartctlOutputLimit, limit);
    const auto found = script().find(arguments.back());
    if (found != script().end()) return found->second;
    TChildRun none;
    none.error = "No such file or directory";
    return none;
}

TChildRun exited(int status, std::string output) {
    TChildRun run;
    run.outcome = TChildRun::kExited;
    run.exitStatus = status;
    run.output = std::move(output);
    return run;
}

TChildRun ended(TChildRun::Outcome outcome, int signal = 0) {
    TChildRun run;
    run.outcome = outcome;
    run.signal = signal;
    run.error = "denied";
    return run;
}

TEST(SmartctlRuns, EveryOutcomeOfEveryRun) {
    const std::string scan =
        "{\"devices\": [" + [] {
            std::string list;
            for (const char* name : {"/dev/sda", "/dev/sdb", "/dev/sdc", "/dev/sdd", "/dev/sde", "/dev/sdf",
                                     "/dev/sdg", "/dev/sdh", "/dev/sdi", "/dev/bus/0"})
                list += std::string(list.empty() ? "" : ",") + "{\"name\": \"" + name + "\", \"type\": \"" +
                        (std::string(name) == "/dev/bus/0" ? "sat+megaraid,0" : "sat") + "\"}";
            return list;
        }() + "]}";
    script() = {
        {"--json", exited(0, scan)},
        {"/dev/sda", exited(64, data("ata_pending.json"))},
        {"/dev/sdb", exited(24, data("ata_failed.json"))},
        {"/dev/sdc", exited(2, data("error_exit.json"))},           // cannot be opened: a note
        {"/dev/sdd", ended(TChildRun::kTimedOut)},
        {"/dev/sde", ended(TChildRun::kSignalled, 11)},
        {"/dev/sdf", ended(TChildRun::kOverflowed)},
        {"/dev/sdg", exited(0, data("no_json.txt"))},
        {"/dev/sdh", exited(1, "")},                                 // its command line refused
        {"/dev/sdi", exited(8, "{\"model_name\": \"VARN X\"}")},     // failing by the status alone
        {"/dev/bus/0", exited(0, data("raid_member.json"))},
    };
    calls().clear();
    HealthFacts facts;
    EXPECT_TRUE(health::ReadSmartctl("smartctl", facts, scripted));
    EXPECT_EQ("--scan-open --json", calls().front());
    EXPECT_EQ("-x --json -d sat+megaraid,0 /dev/bus/0", calls().back());
    std::vector<std::string> disks;
    for (const DiskHealthFacts& d : facts.disks) disks.push_back(d.deviceId + " " + d.assessment + " " + std::to_string(d.toolStatus));
    EXPECT_EQ((std::vector<std::string>{"/dev/sda Passed 64", "/dev/sdb Failed 24", "/dev/sdi Failed 8",
                                        "/dev/bus/0 [sat+megaraid,0] Passed 0"}),
              disks);
    EXPECT_EQ((std::vector<std::string>{
                  "smartctl -x /dev/sdd did not finish within 10 s and was stopped",
                  "smartctl -x /dev/sde ended abnormally (11)",
                  "smartctl -x /dev/sdf printed more than 8388608 bytes and was stopped",
                  "/dev/sdg: smartctl gave no JSON: \"smartctl 7.3 2022-02-28 r5338 [x86_64-li...\"",
                  "smartctl refused its command line for /dev/sdh",
              }),
              facts.problems);
    EXPECT_EQ((std::vector<std::string>{"/dev/sdc cannot be opened by smartctl (permission, virtual disk or RAID volume)"}),
              facts.notes);
}

TEST(SmartctlRuns, ThreeHundredDisksStopAtTheLimit) {
    std::string scan = "{\"devices\": [";
    for (int i = 0; i < 300; ++i) scan += std::string(i ? "," : "") + "{\"name\": \"/dev/d" + std::to_string(i) + "\"}";
    script() = {{"--json", exited(0, scan + "]}")}};
    for (int i = 0; i < 300; ++i) script()["/dev/d" + std::to_string(i)] = exited(0, data("nvme.json"));
    calls().clear();
    HealthFacts facts;
    EXPECT_TRUE(health::ReadSmartctl("smartctl", facts, scripted));
    EXPECT_EQ(health::kSmartctlDiskLimit, facts.disks.size());
    EXPECT_EQ(health::kSmartctlDiskLimit + 1, calls().size());   // the scan, then one run per disk read
    EXPECT_EQ("-x --json /dev/d0", calls()[1]);                 // no type: no -d
    EXPECT_EQ((std::vector<std::string>{"Only the first 256 disks read by smartctl"}), facts.notes);
}

TChildRun slow(const std::string&, const std::vector<std::string>& arguments, unsigned timeout, size_t) {
    EXPECT_LE(timeout, 200u);   // never beyond what is left of the budget
    if (arguments.back() == "--json") return exited(0, "{\"devices\": [{\"name\": \"/dev/d1\"}, {\"name\": \"/dev/d2\"},"
                                                       " {\"name\": \"/dev/d3\"}, {\"name\": \"/dev/d4\"},"
                                                       " {\"name\": \"/dev/d5\"}, {\"name\": \"/dev/d6\"}]}");
    // Each disk takes at least 40 ms: six of them never fit in 200.
    std::this_thread::sleep_for(std::chrono::milliseconds(40));
    return exited(0, data("nvme.json"));
}

TEST(SmartctlRuns, TheBudgetOfAllRunsEndsTheReading) {
    HealthFacts facts;
    EXPECT_TRUE(health::ReadSmartctl("smartctl", facts, slow, 200));
    EXPECT_GE(facts.disks.size(), 1u);
    EXPECT_LT(facts.disks.size(), 6u);
    ASSERT_EQ(1u, facts.problems.size());
    EXPECT_EQ("smartctl: no time left to read /dev/d" + std::to_string(facts.disks.size() + 1) + " and the disks after it",
              facts.problems[0]);
}

TEST(SmartctlRuns, WithoutTheToolOrItsScan) {
    const struct {
        const char* what;
        TChildRun scan;
        bool started;
        size_t problems, notes;
    } cases[] = {
        {"not installed", TChildRun(), false, 0, 1},
        {"scan hangs", ended(TChildRun::kTimedOut), true, 1, 0},
        {"scan prints no JSON", exited(0, "smartctl 6.6\n"), true, 1, 0},
        {"no disks", exited(0, "{\"devices\": []}"), true, 0, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        script() = {{"--json", c.scan}};
        if (c.scan.outcome == TChildRun::kNotStarted) script().clear();
        HealthFacts facts;
        EXPECT_EQ(c.started, health::ReadSmartctl("smartctl", facts, scripted));
        EXPECT_EQ(c.problems, facts.problems.size());
        EXPECT_EQ(c.notes, facts.notes.size());
        EXPECT_TRUE(facts.disks.empty());
    }
}

}  // namespace
