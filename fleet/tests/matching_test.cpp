// Record identity, part matching and version, finding and part-verdict diffs: the tables
// that decide what a comparison calls new, gone or changed.
#include <gtest/gtest.h>

#include "comparison.h"
#include "part_matching.h"
#include "record_identity.h"
#include "verdict_diff.h"
#include "version_diff.h"

namespace {

LogRecordFact record(const std::string& log, const std::string& id, long long at, const std::string& message) {
    LogRecordFact r;
    r.log = log;
    r.recordId = id;
    r.hasTime = at >= 0;
    r.utcSeconds = at < 0 ? 0 : at;
    r.message = message;
    return r;
}

struct RecordCase {
    const char* name;
    std::vector<LogRecordFact> before, after;
    std::vector<std::string> newIds;   // record IDs RecordsOnlyIn finds in after
};

class RecordIdentity : public testing::TestWithParam<RecordCase> {};

TEST_P(RecordIdentity, NewRecordsAreThoseNoOldRecordAnswersFor) {
    std::vector<std::string> ids;
    for (const LogRecordFact* r : RecordsOnlyIn(GetParam().before, GetParam().after)) ids.push_back(r->recordId);
    EXPECT_EQ(ids, GetParam().newIds);
}

const long long T = 1700000000;
INSTANTIATE_TEST_SUITE_P(
    Table, RecordIdentity,
    testing::Values(
        RecordCase{"same_records_nothing_new", {record("ULK", "1", T, "a"), record("ULK", "2", T + 5, "b")},
                   {record("ULK", "1", T, "a"), record("ULK", "2", T + 5, "b")}, {}},
        // Matched by identity, not by position: a log that lost its oldest record.
        RecordCase{"shifted_log", {record("ULK", "1", T, "a"), record("ULK", "2", T + 5, "b")},
                   {record("ULK", "2", T + 5, "b"), record("ULK", "3", T + 9, "c")}, {"3"}},
        RecordCase{"correction_within_slack", {record("ULK", "1", T, "a")}, {record("ULK", "1", T + 60, "a")}, {}},
        RecordCase{"correction_beyond_slack", {record("ULK", "1", T, "a")}, {record("ULK", "1", T + 121, "a")}, {"1"}},
        // A cleared log numbers from 1 again: same ID, other message.
        RecordCase{"reused_id_other_message", {record("ULK", "1", T, "a")}, {record("ULK", "1", T, "x")}, {"1"}},
        RecordCase{"same_id_other_log", {record("ULK Node 1", "1", T, "a")}, {record("ULK Node 2", "1", T, "a")},
                   {"1"}},
        RecordCase{"one_old_answers_for_one_new", {record("OS log", "", T, "a")},
                   {record("OS log", "", T, "a"), record("OS log", "", T + 1, "a")}, {""}},
        RecordCase{"without_time_matched_by_the_rest", {record("TRAV", "7", -1, "a")}, {record("TRAV", "7", -1, "a")},
                   {}},
        RecordCase{"time_on_one_side_only", {record("TRAV", "7", -1, "a")}, {record("TRAV", "7", T, "a")}, {"7"}}),
    [](const testing::TestParamInfo<RecordCase>& info) { return std::string(info.param.name); });

// The closest old record answers, so a nearer twin is not left over as new.
TEST(RecordIdentityOrder, ClosestOldRecordAnswers) {
    const std::vector<LogRecordFact> before = {record("L", "1", T, "a"), record("L", "1", T + 100, "a")};
    const std::vector<LogRecordFact> after = {record("L", "1", T + 90, "a"), record("L", "1", T + 10, "a")};
    EXPECT_TRUE(RecordsOnlyIn(before, after).empty());
}

PartFact part(const std::string& kind, const std::string& location, const std::string& serial,
              const std::string& size = "", const std::string& firmware = "") {
    PartFact p;
    p.kind = kind;
    p.location = location;
    p.serial = serial;
    p.size = size;
    p.firmware = firmware;
    return p;
}

struct PartCase {
    const char* name;
    std::vector<PartFact> before, after;
    std::vector<std::string> changes;   // "added DIMM B", "removed DIMM A", "changed Disk sda: serial,size"
};

std::string describe(const PartChange& c) {
    const PartFact& any = c.change == PartChangeKind::kRemoved ? c.before : c.after;
    std::string text = std::string(PartChangeName(c.change)) + " " + c.kind + " " + any.location;
    for (size_t i = 0; i < c.what.size(); ++i) text += (i ? "," : ": ") + c.what[i];
    return text;
}

class PartMatching : public testing::TestWithParam<PartCase> {};

TEST_P(PartMatching, ChangesAreFoundBySerialThenLocation) {
    std::vector<std::string> found;
    for (const PartChange& c : MatchParts(GetParam().before, GetParam().after)) found.push_back(describe(c));
    EXPECT_EQ(found, GetParam().changes);
}

INSTANTIATE_TEST_SUITE_P(
    Table, PartMatching,
    testing::Values(
        PartCase{"unchanged", {part("DIMM", "A1", "S1", "16"), part("DIMM", "A2", "S2", "16")},
                 {part("DIMM", "A2", "S2", "16"), part("DIMM", "A1", "S1", "16")}, {}},
        PartCase{"removed", {part("DIMM", "A1", "S1"), part("DIMM", "A2", "S2")}, {part("DIMM", "A1", "S1")},
                 {"removed DIMM A2"}},
        PartCase{"added", {part("DIMM", "A1", "S1")}, {part("DIMM", "A1", "S1"), part("DIMM", "B1", "S9")},
                 {"added DIMM B1"}},
        PartCase{"replaced_in_its_slot", {part("Disk", "sda", "D1", "100", "F1")},
                 {part("Disk", "sda", "D2", "200", "F1")}, {"changed Disk sda: serial,size"}},
        PartCase{"moved_to_another_slot", {part("DIMM", "A1", "S1")}, {part("DIMM", "B1", "S1")},
                 {"changed DIMM B1: location"}},
        PartCase{"firmware_updated", {part("Disk", "sda", "D1", "100", "F1")}, {part("Disk", "sda", "D1", "100", "F2")},
                 {"changed Disk sda: firmware"}},
        // Kinds never match each other, even at one location and serial.
        PartCase{"other_kind", {part("Disk", "x", "S")}, {part("DIMM", "x", "S")}, {"removed Disk x", "added DIMM x"}},
        PartCase{"no_serials_matched_by_location", {part("Processor", "CPU0", ""), part("Processor", "CPU1", "")},
                 {part("Processor", "CPU1", "")}, {"removed Processor CPU0"}},
        // A serial moved onto a slot another part left: the serial wins.
        PartCase{"swap", {part("DIMM", "A1", "S1"), part("DIMM", "A2", "S2")},
                 {part("DIMM", "A1", "S2"), part("DIMM", "A2", "S1")},
                 {"changed DIMM A1: location", "changed DIMM A2: location"}}),
    [](const testing::TestParamInfo<PartCase>& info) { return std::string(info.param.name); });

struct VersionCase {
    const char* name;
    std::vector<VersionFact> before, after;
    std::vector<std::string> changes;   // "Name: before -> after" ("+" appeared, "-" went)
};

class VersionDiff : public testing::TestWithParam<VersionCase> {};

TEST_P(VersionDiff, ChangedAppearedAndWent) {
    std::vector<std::string> found;
    for (const VersionChange& v : DiffVersions(GetParam().before, GetParam().after))
        found.push_back(std::string(v.appeared ? "+" : v.went ? "-" : "") + v.name + ": " + v.before + " -> " +
                        v.after);
    EXPECT_EQ(found, GetParam().changes);
}

INSTANTIATE_TEST_SUITE_P(
    Table, VersionDiff,
    testing::Values(
        VersionCase{"same", {{"Firmware", "BIOS", "1.0"}}, {{"Firmware", "BIOS", "1.0"}}, {}},
        VersionCase{"updated", {{"Firmware", "BIOS", "1.0"}}, {{"Firmware", "BIOS", "1.2"}}, {"BIOS: 1.0 -> 1.2"}},
        VersionCase{"appeared_and_went", {{"Driver", "old", "1"}}, {{"Driver", "new", "2"}},
                    {"+new:  -> 2", "-old: 1 -> "}},
        // The same name under another kind is another identity.
        VersionCase{"kind_tells_apart", {{"Firmware", "X", "1"}}, {{"Driver", "X", "1"}}, {"+X:  -> 1", "-X: 1 -> "}},
        // Two of one name compare as their set, whatever the order.
        VersionCase{"repeated_identity_as_set", {{"Driver", "nic", "1"}, {"Driver", "nic", "2"}},
                    {{"Driver", "nic", "2"}, {"Driver", "nic", "1"}}, {}},
        VersionCase{"repeated_identity_changed", {{"Driver", "nic", "1"}, {"Driver", "nic", "2"}},
                    {{"Driver", "nic", "2"}, {"Driver", "nic", "3"}}, {"nic: 1, 2 -> 2, 3"}}),
    [](const testing::TestParamInfo<VersionCase>& info) { return std::string(info.param.name); });

struct FindingCase {
    const char* name;
    std::vector<FindingFact> before, after;
    std::vector<std::string> changes;   // "change: description"
};

FindingFact finding(const std::string& severity, const std::string& description, const std::string& message = "m") {
    return FindingFact{severity, "Rule", description, "VARNSG_ULKLog", message, 1};
}

class FindingDiff : public testing::TestWithParam<FindingCase> {};

TEST_P(FindingDiff, AppearedClearedAndChangedSeverity) {
    std::vector<std::string> found;
    for (const FindingChange& f : DiffFindings(GetParam().before, GetParam().after))
        found.push_back(std::string(FindingChangeName(f.change)) + ": " +
                        (f.change == FindingChangeKind::kCleared ? f.before : f.after).description);
    EXPECT_EQ(found, GetParam().changes);
}

INSTANTIATE_TEST_SUITE_P(
    Table, FindingDiff,
    testing::Values(FindingCase{"same", {finding("Error", "fan")}, {finding("Error", "fan")}, {}},
                    FindingCase{"appeared", {}, {finding("Error", "fan")}, {"appeared: fan"}},
                    FindingCase{"cleared", {finding("Warning", "disk")}, {}, {"cleared: disk"}},
                    FindingCase{"worse", {finding("Warning", "fan")}, {finding("Error", "fan")},
                                {"changed severity: fan"}},
                    // Another message is another finding: one cleared, one appeared.
                    FindingCase{"other_message", {finding("Error", "fan", "Fan 3")}, {finding("Error", "fan", "Fan 4")},
                                {"appeared: fan", "cleared: fan"}}),
    [](const testing::TestParamInfo<FindingCase>& info) { return std::string(info.param.name); });

struct VerdictCase {
    const char* name;
    std::vector<PartVerdictFact> before, after;
    std::vector<std::string> changes;   // "change: part OLD -> NEW", "-" for a side without the part
};

PartVerdictFact judged(const std::string& kind, const std::string& key, const std::string& verdict,
                     const std::string& scheme = "", size_t evidence = 1) {
    PartVerdictFact p;
    p.kind = kind;
    p.key = key;
    p.scheme = scheme;
    p.name = kind + " " + key + (scheme.empty() ? "" : " (" + scheme + ")");
    p.verdict = verdict;
    p.evidence = evidence;
    return p;
}

class VerdictDiff : public testing::TestWithParam<VerdictCase> {};

TEST_P(VerdictDiff, AppearedClearedAndChangedByPartIdentity) {
    std::vector<std::string> found;
    for (const VerdictChange& v : DiffPartVerdicts(GetParam().before, GetParam().after))
        found.push_back(std::string(VerdictChangeName(v.change)) + ": " + (v.hasAfter ? v.after : v.before).name +
                        " " + (v.hasBefore ? v.before.verdict : "-") + " -> " + (v.hasAfter ? v.after.verdict : "-"));
    EXPECT_EQ(found, GetParam().changes);
}

INSTANTIATE_TEST_SUITE_P(
    Table, VerdictDiff,
    testing::Values(
        VerdictCase{"unchanged_problem", {judged("Fan", "3", "Failed")}, {judged("Fan", "3", "Failed", "", 4)}, {}},
        // Parts without a problem on either side are the inventory's business.
        VerdictCase{"unchanged_without_problem", {judged("Disk", "sda", "OK"), judged("DIMM", "a1", "Unknown")},
                    {judged("Disk", "sda", "Unknown"), judged("Disk", "sdb", "OK")}, {}},
        VerdictCase{"appeared_on_a_new_part", {}, {judged("Fan", "3", "Failed")}, {"appeared: Fan 3 - -> Failed"}},
        VerdictCase{"appeared_on_a_known_part", {judged("Disk", "sda", "OK")}, {judged("Disk", "sda", "Warning")},
                    {"appeared: Disk sda OK -> Warning"}},
        VerdictCase{"cleared_part_now_ok", {judged("Disk", "sda", "Failed")}, {judged("Disk", "sda", "OK")},
                    {"cleared: Disk sda Failed -> OK"}},
        VerdictCase{"cleared_part_gone", {judged("DIMM", "a2", "Degraded")}, {}, {"cleared: DIMM a2 Degraded -> -"}},
        VerdictCase{"changed_worse", {judged("Fan", "3", "Warning")}, {judged("Fan", "3", "Failed")},
                    {"changed: Fan 3 Warning -> Failed"}},
        VerdictCase{"changed_better", {judged("Disk", "5", "Failed")}, {judged("Disk", "5", "Degraded")},
                    {"changed: Disk 5 Failed -> Degraded"}},
        // The OS's CPU 2 is not the service processor's: another scheme is another part.
        VerdictCase{"other_scheme_other_part", {judged("Processor", "2", "Warning", "os")},
                    {judged("Processor", "2", "Warning")},
                    {"appeared: Processor 2 - -> Warning", "cleared: Processor 2 (os) Warning -> -"}},
        VerdictCase{"other_kind_other_part", {judged("Fan", "1", "Failed")}, {judged("Power supply", "1", "Failed")},
                    {"appeared: Power supply 1 - -> Failed", "cleared: Fan 1 Failed -> -"}},
        // In the order of NEW (most severe first), then what cleared in the order of OLD.
        VerdictCase{"order",
                    {judged("Fan", "1", "Warning"), judged("Fan", "2", "Failed"), judged("Fan", "3", "Warning")},
                    {judged("Fan", "4", "Failed"), judged("Fan", "1", "Failed"), judged("Fan", "3", "OK")},
                    {"appeared: Fan 4 - -> Failed", "changed: Fan 1 Warning -> Failed", "cleared: Fan 2 Failed -> -",
                     "cleared: Fan 3 Warning -> OK"}}),
    [](const testing::TestParamInfo<VerdictCase>& info) { return std::string(info.param.name); });

}  // namespace
