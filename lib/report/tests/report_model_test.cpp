#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "collector_record.h"
#include "heavy_hitter_detail.h"
#include "report_model.h"
#include "wyxcore/collector_run.h"
#include "support/sample_container.h"
#include "wyxcore/logger.h"

namespace {

TCIMDateTime at(int day, int hour, int minute, int offset) {
    TCIMDateTime value;
    value.Set(2026, 12, day, hour, minute, 0, 0, offset);
    return value;
}

// The records earlier versions wrote in the run log, read back from their files.
TEST(CollectorRecord, ReadsTheRecordsOfEarlierVersions) {
    const struct { CollectorRecord record; const char* text; } cases[] = {
        {{"quarnel", "quarnel", "pass 1", CollectorOutcome::kRan, 12},
         "Collector quarnel (quarnel), pass 1: ran, 12 instances added."},
        {{"System", "system", "the computer-system run", CollectorOutcome::kRan, 0},
         "Collector System (system), the computer-system run: ran, 0 instances added."},
        {{"quarnel", "quarnel", "pass 2", CollectorOutcome::kDisabled, 0}, "Collector quarnel (quarnel), pass 2: disabled."},
        // Names holding the separators still read back.
        {{"odd (x), y: z", "odd", "pass 1", CollectorOutcome::kNotLoaded, 0},
         "Collector odd (x), y: z (odd), pass 1: not loaded."},
    };
    for (const auto& c : cases) {
        CollectorRecord read;
        ASSERT_TRUE(ParseCollectorRecord(c.text, &read)) << c.text;
        EXPECT_EQ(read.plugin, c.record.plugin);
        EXPECT_EQ(read.selection, c.record.selection);
        EXPECT_EQ(read.step, c.record.step);
        EXPECT_EQ(read.outcome, c.record.outcome);
        EXPECT_EQ(read.instancesAdded, c.record.instancesAdded);
    }
    for (const char* other : {"Collector quarnel", "Collector a (b), pass 1: ran, x instances added.",
                              "Collector a (b), pass 1: ran, instances added.", "Collector a (b), pass 1: gone.",
                              "Getting TRAV log", ""})
        EXPECT_FALSE(ParseCollectorRecord(other, nullptr)) << other;
}

TEST(LogTypeName, NamesTheFiveTypesAndNumbersTheRest) {
    const struct { int type; const char* name; } cases[] = {
        {0, "Error"}, {1, "Warning"}, {2, "Status"}, {3, "Debug"}, {4, "Verbose"}, {5, "5"}, {100, "100"}, {-1, "-1"}};
    for (const auto& c : cases) EXPECT_EQ(LogTypeName(c.type), c.name);
}

// A container with the report classes, a machine, and the run log given.
struct RunLog {
    const char* source;
    const char* type;
    const char* message;
};

void fill(TContainer& c, const std::vector<RunLog>& log) {
    DeclareReportClasses(c);
    int id = 0;
    for (const RunLog& r : log)
        AddRunLogRecord(c, std::to_string(id++), r.source, r.type, "20261208052800.000000+060", r.message);
}

// plug-in:state:instances:errors, one a collector.
std::string collectorsLine(const CollectionStatus& status) {
    std::string line;
    for (const CollectorStatus& s : status.collectors)
        line += (line.empty() ? "" : " ") + s.plugin + ":" + CollectorStateName(s.state) + ":" +
                std::to_string(s.instancesAdded) + ":" + std::to_string(s.errors.size());
    return line;
}

const char kRan[] = "Collector quarnel (quarnel), pass 1: ran, 0 instances added.";
const char kSystemRan[] = "Collector System (system), pass 1: ran, 2 instances added.";

TEST(CollectionStatus, SaysWhatEachCollectorDidAndWhetherTheCollectionIsComplete) {
    const struct {
        const char* name;
        std::vector<RunLog> log;
        bool complete;
        const char* collectors;   // plug-in:state:instances:errors ...
        const char* sp;
    } cases[] = {
        {"service processor that does not answer",
         {{"Core", "2", kSystemRan}, {"quarnel", "0", "Unknown Error Code, Possible causes: Driver/SP failure!"},
          {"quarnel", "0", "Error occurred while collecting sp firmware and vpd data"}, {"Core", "2", kRan}},
         false, "System:ran:2:0 quarnel:failed:0:2",
         "Service processor not read: Unknown Error Code, Possible causes: Driver/SP failure!"},
        {"no service processor",
         {{"Core", "2", kSystemRan}, {"quarnel", "3", " No SP's installed on the system "}, {"Core", "2", kRan}},
         true, "System:ran:2:0 quarnel:ran:0:0", "No service processor found"},
        {"a processor whose log is empty",
         {{"quarnel", "2", "Normalizing ULK Event logs by 0 days 00:00:00."}, {"Core", "2", kRan}}, true,
         "quarnel:ran:0:0", "Service processor found; its log holds no entries"},
        {"collector disabled",
         {{"Core", "2", "Collector quarnel (quarnel), pass 1: disabled."}}, true, "quarnel:skipped:0:0",
         "Service processor not read: its collector was disabled"},
        {"collector not loaded",
         {{"Core", "0", "Couldn't load plug-in /opt/plugins/quarnel.pi.so: undefined symbol"}}, false,
         "quarnel.pi.so:not loaded:0:0", "Service processor not read: its collector was not loaded"},
        {"an error of the analysis, not of a collector",
         {{"Core", "2", kRan}, {"Core", "0", "Plug-in Basic Analysis threw exception Invalid argument"}}, false,
         "quarnel:ran:0:0", "No service processor found"},
        {"an older collection that did not record its collectors",
         {{"quarnel", "0", "Error adding VARNSG_Quarnel"}}, false, "quarnel:failed:0:1",
         "Service processor not read: Error adding VARNSG_Quarnel"},
        {"no run log at all", {}, true, "", "Service processor: not known (the run log does not say)"},
    };
    for (const auto& c : cases) {
        TContainer container;
        fill(container, c.log);
        const CollectionStatus status = BuildCollectionStatus(container);
        EXPECT_EQ(status.complete, c.complete) << c.name;
        EXPECT_EQ(collectorsLine(status), c.collectors) << c.name;
        EXPECT_EQ(status.serviceProcessor, c.sp) << c.name;
    }
}

// A collection of this version keeps each collector step as data; a sentence
// in its run log that reads like an earlier version's record is only a message.
TEST(CollectionStatus, ReadsWhatEachCollectorDidFromItsSteps) {
    using collector_run::Outcome;
    const struct {
        const char* name;
        std::vector<collector_run::Step> steps;
        std::vector<RunLog> log;
        bool complete;
        const char* collectors;
    } cases[] = {
        {"every outcome",
         {{"broken.pi.so", "broken", "loading", Outcome::kNotLoaded, 0, 0, "undefined symbol"},
          {"System", "system", "computer system", Outcome::kRan, 2, 5, ""},
          {"quarnel", "quarnel", "pass 1", Outcome::kRan, 12, 900, ""},
          {"Sensors", "sensors", "pass 1", Outcome::kAbandoned, 0, 30000, ""},
          {"Inventory", "inventory", "pass 1", Outcome::kSkipped, 0, 0, ""},
          {"quarnel", "quarnel", "pass 2", Outcome::kRan, 3, 10, ""}},
         {{"Core", "2", "Collector ghost (ghost), pass 1: ran, 5 instances added."}},
         false,
         "broken.pi.so:not loaded:0:0 System:ran:2:0 quarnel:ran:15:0 Sensors:abandoned:0:0 Inventory:skipped:0:0"},
        {"all ran; an error of a collector marks it failed",
         {{"quarnel", "quarnel", "pass 1", Outcome::kRan, 0, 1, ""}},
         {{"quarnel", "0", "Unknown Error Code, Possible causes: Driver/SP failure!"}}, false, "quarnel:failed:0:1"},
        {"all ran, no error", {{"System", "system", "computer system", Outcome::kRan, 2, 1, ""}}, {}, true,
         "System:ran:2:0"},
    };
    for (const auto& c : cases) {
        TContainer container;
        fill(container, c.log);
        DeclareTestClass(container, collector_run::kClassName,
                         {{"Collector", kCIMString}, {"SelectionName", kCIMString}, {"Step", kCIMString},
                          {"Outcome", kCIMString}, {"InstancesAdded", kCIMUInt64},
                          {"DurationMilliseconds", kCIMUInt64}, {"Reason", kCIMString}});
        for (const collector_run::Step& step : c.steps) collector_run::Add(&container, step);
        const CollectionStatus status = BuildCollectionStatus(container);
        EXPECT_TRUE(status.collectorsRecorded) << c.name;
        EXPECT_EQ(status.complete, c.complete) << c.name;
        EXPECT_EQ(collectorsLine(status), c.collectors) << c.name;
    }
}

TEST(CollectionStatus, EntriesReadOrBlockedAreSaidSo) {
    TContainer read;
    FillSampleContainer(read);   // three ULK and three TRAV entries, a quarnel error
    EXPECT_EQ(BuildCollectionStatus(read).serviceProcessor,
              "Service processor read: 3 ULK and 3 TRAV log entries; not all of it: Error adding data for "
              "VARNSG_Quarnel");
    TContainer blocked;
    fill(blocked, {{"Core", "2", kRan}});
    AddTestInstance(blocked, "VARNSG_HeavyHittersLogRecord",
                    {{"Message", "TRAV logs are not being collected due to the presence of Pellomon."}});
    EXPECT_EQ(BuildCollectionStatus(blocked).serviceProcessor,
              "Service processor not read: TRAV logs are not being collected due to the presence of Pellomon.");
}

TEST(Identity, SaysWhyAFactIsMissingAndWhenTheReportWasWrittenApart) {
    TContainer container;
    DeclareReportClasses(container);
    AddTestInstance(container, "VARNSG_ComputerSystem",
                    {{"Name", "srv01"}, {"Manufacturer", "Maker"}, {"Model", ""}, {"SerialNumber", "  "},
                     {"CMCMTM", "{CMCMTM}8865-1RY"}});
    AddRunLogRecord(container, "0", "Core", "2", "20261208052800.000000+060", "OSK was run");
    AddRunLogRecord(container, "1", "Core", "2", "20261208053500.000000+060", "later");
    const struct { TCIMDateTime rendered; bool later; } cases[] = {
        {at(8, 5, 40, 60), false},   // the same run: minutes after its last record
        {at(8, 4, 40, 0), false},    // the same instant written at another offset
        {at(9, 5, 40, 60), true},    // a day later, from the saved file
        {at(8, 5, 0, 60), true},     // before the collection: another clock
    };
    for (const auto& c : cases) {
        const ReportIdentity identity = BuildIdentity(container, c.rendered);
        EXPECT_EQ(identity.renderedLater, c.later) << c.rendered.ToString();
        EXPECT_EQ(identity.collectedAt.ToUIString(), "2026-12-08 05:28:00 (UTC+01:00)");
    }
    const ReportIdentity identity = BuildIdentity(container, at(8, 5, 40, 60));
    std::string facts;
    for (const IdentityFact& f : identity.facts) facts += f.label + "=" + (f.value.empty() ? "(" + f.missing + ")" : f.value) + "; ";
    EXPECT_EQ(facts, "Host name=srv01; Manufacturer=Maker; Model=(not reported by the firmware); "
                     "Serial number=(not reported by the firmware); Machine type-model=8865-1RY; ");
    EXPECT_EQ(identity.machineLine, "srv01, model not reported by the firmware, serial not reported by the firmware");
    EXPECT_EQ(TypeModelOf("{CMCMTM}8865-1RY"), "8865-1RY");
    EXPECT_EQ(TypeModelOf("8865-1RY"), "8865-1RY");
}

TEST(FindingGroups, OneGroupPerRuleSourceAndMessageMostSevereAndRecentFirst) {
    TContainer container;
    const struct { const char* severity; const char* rule; const char* id; const char* message; const char* stamp; } findings[] = {
        {"Error", "Fan", "1", "Fan 2 failed", "20261201083015.000000-300"},
        {"Warning", "Watchdog", "2", "Watchdog restart", "20261207090000.000000-300"},
        {"Error", "Fan", "3", "Fan 2 failed", "20261205083015.000000-300"},
        {"Error", "Fan", "4", "Fan 2 failed", "20261203083015.000000-300"},
        {"Error", "Power supply", "5", "Power supply 1 failed", "20261202000000.000000-300"},
        {"Error", "Fan", "6", "Fan 3 failed", ""},
    };
    for (const auto& f : findings) AddFinding(container, f.severity, f.rule, "VARNSG_ULKLog", f.id, f.message, f.stamp);
    std::string groups;
    for (const FindingGroup& g : GroupFindings(container)) {
        groups += g.severity + "/" + g.message + "/" + std::to_string(g.count);
        if (g.hasTime) groups += "/" + g.first.ToString().substr(0, 8) + "-" + g.last.ToString().substr(0, 8) + "/" + g.latestKey;
        groups += "; ";
    }
    EXPECT_EQ(groups,
              "Error/Fan 2 failed/3/20261201-20261205/RecordID=3; Error/Power supply 1 failed/1/20261202-20261202/"
              "RecordID=5; Error/Fan 3 failed/1; Warning/Watchdog restart/1/20261207-20261207/RecordID=2; ");
    EXPECT_GT(SeverityRank("Error"), SeverityRank("Warning"));
    EXPECT_GT(SeverityRank("Warning"), SeverityRank("Info"));
    EXPECT_GT(SeverityRank("Info"), SeverityRank(""));
}

TEST(Timeline, EveryTimedRecordInOrderOfInstantWithItsOwnClock) {
    TContainer container;
    DeclareReportClasses(container);
    // Two processors: their entries were moved onto the system clock, written at their own offsets.
    AddTestInstance(container, "VARNSG_ULKLog",
                    {{"RecordID", "1"}, {"Severity", "2"}, {"Date", "12/1/26"}, {"Time", "8:3:9"},
                     {"MessageTimestamp", "20261201100309.000000-300"}, {"LoggingSource", "Node 1: SP A   "},
                     {"Message", "Fan 2 failed"}});
    AddTestInstance(container, "VARNSG_ULKLog",
                    {{"RecordID", "2"}, {"Severity", "0"}, {"Date", "12/1/26"}, {"Time", "16:0:0"},
                     {"MessageTimestamp", "20261201160000.000000+060"}, {"LoggingSource", "Node 2: SP B"},
                     {"Message", "System power on"}});
    AddTestInstance(container, "VARNSG_TRAVLog", {{"RecordID", "1"}, {"MessageTimestamp", "20261201140000.000000+000"},
                                                  {"Message", "Fan 3 missing."}});
    AddRunLogRecord(container, "0", "quarnel", "1", "20261201145959.000000+000", "could not read SP clock");
    AddTestInstance(container, "VARNSG_HeavyHittersLogRecord",
                    {{"MessageTimestamp", "20261201150001.000000+000"}, {"Message", "clock differs"}});
    AddTestInstance(container, "VARNSG_OperatingSystem", {{"LastBootUpTime", "20261130000000.000000+000"}});
    AddTestInstance(container, "VARNSG_OSEventLogRecord",
                    {{"RecordID", "0"}, {"MessageTimestamp", "20261201145000.000000+000"}, {"Source", "kernel"},
                     {"Severity", "Error"}, {"Message", "I/O error, dev sda"}});
    AddTestInstance(container, "VARNSG_ULKLog", {{"RecordID", "3"}, {"Message", "no time"}});
    AddFinding(container, "Error", "Fan", "VARNSG_ULKLog", "1", "Fan 2 failed", "");
    const ReportModel model = BuildReportModel(container, at(8, 0, 0, 0));
    std::string order;
    for (const TimelineEntry& e : model.timeline)
        order += ShownTime(model, e.at).substr(0, 16) + " " + e.source + " " + e.severity + " " + e.message +
                 (e.ownTime.empty() ? "" : " [" + e.ownTime + "]") + "\n";
    EXPECT_EQ(order,
              "2026-11-30 00:00 Operating system Info Last boot\n"
              "2026-12-01 14:00 TRAV Error Fan 3 missing.\n"
              "2026-12-01 14:50 OS log: kernel Error I/O error, dev sda\n"
              "2026-12-01 14:59 Run log: quarnel Warning could not read SP clock\n"
              "2026-12-01 15:00 ULK Node 2 Info System power on [2026-12-01 16:00:00]\n"
              "2026-12-01 15:00 Heavy hitter Warning clock differs\n"
              "2026-12-01 15:03 ULK Node 1 Error Fan 2 failed [2026-12-01 08:03:09]\n");
    EXPECT_EQ(model.displayOffset, 0);
    EXPECT_TRUE(model.hasBoot);
}

TEST(ShownTime, OnTheDisplayClockToTheSecond) {
    ReportModel model;
    model.displayOffset = 720;
    const struct { const char* point; const char* shown; } cases[] = {
        {"20261208053107.123456+060", "2026-12-08 16:31:07 (UTC+12:00)"},
        {"00000101000000.000000+000", "0000-01-01 00:00:00 (UTC+00:00)"},   // year 0: as written
        // After 9999 on the display clock: on its own clock, and the report still written.
        {"99991231233000.000000-720", "9999-12-31 23:30:00 (UTC-12:00)"},
    };
    for (const auto& c : cases) EXPECT_EQ(ShownTime(model, TCIMDateTime::FromString(c.point)), c.shown) << c.point;
}

const char kDifference[] = "The difference between the System clock and SP clock is greater than 24 hours.";

// An earlier version's file: the detail is the two status lines right before the heavy hitter.
TEST(HeavyHitterDetail, FromAnEarlierVersionTheLinesBeforeIt) {
    TContainer container;
    DeclareReportClasses(container);
    AddRunLogRecord(container, "4", "quarnel", "2", "20261208052800.000000+000", "Normalizing ULK Event logs by 1 day 06:00:00.");
    AddRunLogRecord(container, "5", "quarnel", "2", "20261208052800.000000+000", "System clock is A. SP clock is B.");
    const struct { const char* id; const char* message; const char* detail; } cases[] = {
        {"6", kDifference, "Normalizing ULK Event logs by 1 day 06:00:00. System clock is A. SP clock is B."},
        {"9", kDifference, ""},                                  // not right after the lines
        {"6", "TRAV logs are not being collected due to the presence of Pellomon.", ""},
        {"x", kDifference, ""},
    };
    const CollectionStatus status = BuildCollectionStatus(container);
    for (const auto& c : cases) {
        const TCIMInstance* record = AddTestInstance(container, "VARNSG_HeavyHittersLogRecord",
                                                     {{"RecordID", c.id}, {"Message", c.message}});
        EXPECT_EQ(HeavyHitterDetail(container, *record, status), c.detail) << c.id;
    }
}

// This version's file: the n-th such heavy hitter is the n-th processor whose
// clock was more than a day behind; run-log lines play no part.
TEST(HeavyHitterDetail, FromTheProcessorClocksRecorded) {
    TContainer container;
    DeclareReportClasses(container);
    DeclareTestClass(container, "VARNSG_ServiceProcessorClock",
                     {{"Processor", kCIMUInt16}, {"SystemClock", kCIMDateTime},
                      {"ServiceProcessorClock", kCIMDateTime}, {"Difference", kCIMDateTime}});
    const char* const clocks[][3] = {
        {"20261208100000.000000+060", "20261208095900.000000+060", "00000000000100.000000:000"},   // a minute
        {"20261208100000.000000+060", "20261207040000.000000-300", "00000001010000.000000:000"},   // a day and an hour
        {"20261208100000.000000+060", "20261205100000.000000+060", "00000003000000.000000:000"},   // three days
    };
    for (const auto& c : clocks)
        AddTestInstance(container, "VARNSG_ServiceProcessorClock",
                        {{"SystemClock", c[0]}, {"ServiceProcessorClock", c[1]}, {"Difference", c[2]}});
    AddRunLogRecord(container, "5", "quarnel", "2", "20261208052800.000000+000", "System clock is A. SP clock is B.");
    const CollectionStatus status = BuildCollectionStatus(container);
    const struct { const char* message; const char* detail; } cases[] = {
        {kDifference, "Normalizing ULK Event logs by 1 day 01:00:00. System clock is 2026-12-08 10:00:00 "
                      "(UTC+01:00) (UTC offset 60). SP clock is 2026-12-07 04:00:00 (UTC-05:00) (UTC offset -300)."},
        {"another heavy hitter", ""},
        {kDifference, "Normalizing ULK Event logs by 3 days 00:00:00. System clock is 2026-12-08 10:00:00 "
                      "(UTC+01:00) (UTC offset 60). SP clock is 2026-12-05 10:00:00 (UTC+01:00) (UTC offset 60)."},
        {kDifference, ""},                                      // more heavy hitters than such clocks
    };
    for (const auto& c : cases) {
        const TCIMInstance* record = AddTestInstance(container, "VARNSG_HeavyHittersLogRecord",
                                                     {{"RecordID", "6"}, {"Message", c.message}});
        EXPECT_EQ(HeavyHitterDetail(container, *record, status), c.detail) << c.message;
    }
}

TEST(ClassTable, ValuesTheSameInEveryRowAreSaidOnce) {
    TContainer container;
    FillSampleContainer(container);
    const ClassTable table = BuildClassTable(*container.FindClass("VARNSG_TRAVLog"));
    std::string same;
    for (const auto& s : table.same) same += s.first + "=" + (s.second ? s.second->GetText() : "unset") + ";";
    EXPECT_EQ(same, "CreationClassName=VARNSG_TRAVLog;LogCreationClassName= ;LogName=TRAVEvent;");
    EXPECT_EQ(table.columns, (std::vector<std::string>{"MessageTimestamp", "Message", "RecordID"}));
    EXPECT_TRUE(table.timed);
    // Added as 1, 2, 3; happened 2, 1, 3.
    EXPECT_EQ(table.positions, (std::vector<size_t>{1, 0, 2}));
    ASSERT_EQ(table.values.size(), 3u);
    EXPECT_EQ(table.values[0][2]->GetText(), "2");
}

}  // namespace
