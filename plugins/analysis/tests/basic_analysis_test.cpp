#include <gtest/gtest.h>

#include "basic_analysis.h"
#include "expect_status.h"
#include "finding_class.h"
#include "support/sample_container.h"
#include "support/schema_file.h"
#include "wyxcore/exception.h"
#include "wyxcore/status.h"

namespace {

std::string text(const TCIMInstance& instance, const char* name) {
    const TCIMValue* value = instance.GetPropertyValue(name);
    return value ? value->GetText() : std::string("-");
}

// Each finding as "Category/Severity@SourceClass RecordID".
std::vector<std::string> findings(const TContainer& container) {
    std::vector<std::string> out;
    const TCIMClass* cimClass = container.FindClass(kFindingClass);
    if (!cimClass) return out;
    for (const TCIMInstance* f : cimClass->EnumerateInstances(true))
        out.push_back(text(*f, "Category") + "/" + text(*f, "Severity") + "@" + text(*f, "SourceClass") + " " +
                      text(*f, "SourceKey"));
    return out;
}

void addTrav(TContainer& c, const std::string& id, const std::string& message) {
    AddTestInstance(c, "VARNSG_TRAVLog", {{"CreationClassName", "VARNSG_TRAVLog"}, {"RecordID", id},
                                          {"MessageTimestamp", "20261206101500.000000+060"}, {"Message", message}});
}

void addUlk(TContainer& c, const std::string& id, const std::string& severity, const std::string& message) {
    AddTestInstance(c, "VARNSG_ULKLog", {{"CreationClassName", "VARNSG_ULKLog"}, {"RecordID", id},
                                         {"Severity", severity}, {"Message", message}});
}

void addHeavy(TContainer& c, const std::string& id, const std::string& message) {
    AddTestInstance(c, "VARNSG_HeavyHittersLogRecord", {{"RecordID", id}, {"Message", message}});
}

TEST(BasicAnalysis, ContainersGiveTheirFindings) {
    const struct {
        const char* name;
        void (*fill)(TContainer&);
        std::vector<std::string> expected;
    } cases[] = {
        {"empty", [](TContainer&) {}, {}},
        {"healthy logs",
         [](TContainer& c) {
             addTrav(c, "1", "All fans present and functioning.");
             addUlk(c, "1", "0", "System power on");
         },
         {}},
        {"trav faults",
         [](TContainer& c) {
             addTrav(c, "1", "Fan 3 missing. Fan 1 failed.");
             addTrav(c, "2", "All power supplies present and functioning.");
             addTrav(c, "3", "System board voltages not in normal range. VRM 1 failed");
             addTrav(c, "4", "Server restarted:  O/S watchdog timed out");
         },
         {"Fan/Error@VARNSG_TRAVLog RecordID=1", "VRM/Error@VARNSG_TRAVLog RecordID=3",
          "Voltage/Error@VARNSG_TRAVLog RecordID=3", "Watchdog/Warning@VARNSG_TRAVLog RecordID=4"}},
        {"ulk severities",
         [](TContainer& c) {
             addUlk(c, "1", "2", "Remote login failed");
             addUlk(c, "2", "1", "Remote login");
             addUlk(c, "3", "2", "Power supply 1 fault");   // one finding, not two
         },
         {"Service processor/Error@VARNSG_ULKLog RecordID=1", "Power supply/Error@VARNSG_ULKLog RecordID=3"}},
        {"heavy hitters",
         [](TContainer& c) {
             addHeavy(c, "0", "TRAV logs are not being collected due to the presence of Pellomon.");
             addHeavy(c, "4", "The difference between the System clock and SP clock is greater than 24 hours.");
         },
         {"Heavy hitter/Warning@VARNSG_HeavyHittersLogRecord RecordID=0",
          "Heavy hitter/Warning@VARNSG_HeavyHittersLogRecord RecordID=4"}},
    };
    for (const auto& c : cases) {
        TContainer container;
        DeclareReportClasses(container);
        c.fill(container);
        const size_t added = RunBasicAnalysis(container);
        EXPECT_EQ(findings(container), c.expected) << c.name;
        EXPECT_EQ(added, c.expected.size()) << c.name;
    }
}

TEST(BasicAnalysis, FindingCarriesItsSourceAndNumber) {
    TContainer container;
    DeclareReportClasses(container);
    addTrav(container, "1", "Fan 2 failed.");
    addTrav(container, "2", "Over temperature: CPU 1 thermal trip");
    RunBasicAnalysis(container);
    const std::vector<TCIMInstance*> found = container.FindClass(kFindingClass)->EnumerateInstances(true);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(text(*found[1], "CreationClassName"), "VARNSG_AnalysisFinding");
    EXPECT_EQ(text(*found[1], "FindingID"), "2");
    EXPECT_EQ(text(*found[1], "Description"), "Over temperature");
    EXPECT_EQ(text(*found[1], "SourceMessage"), "Over temperature: CPU 1 thermal trip");
    EXPECT_EQ(text(*found[1], "SourceTimestamp"), "20261206101500.000000+060");
}

TEST(BasicAnalysis, SecondRunAddsOnlyNewFindings) {
    TContainer container;
    FillSampleContainer(container);
    const size_t first = RunBasicAnalysis(container);
    EXPECT_EQ(first, 5u);   // ULK error entry, fan, temperature, two heavy hitters
    EXPECT_EQ(RunBasicAnalysis(container), 0u);
    addTrav(container, "9", "VRM 2 failed");
    EXPECT_EQ(RunBasicAnalysis(container), 1u);
    const std::vector<TCIMInstance*> found = container.FindClass(kFindingClass)->EnumerateInstances(true);
    ASSERT_EQ(found.size(), first + 1);
    EXPECT_EQ(text(*found.back(), "FindingID"), std::to_string(first + 1));
}

TEST(BasicAnalysis, ConflictingClassDeclarationIsReported) {
    // Only a container without the schema can hold another declaration.
    TContainer container(TContainer::kEmpty);
    DeclareTestClass(container, kFindingClass, {{"Severity", kCIMUInt16}});
    EXPECT_STATUS(RunBasicAnalysis(container), kWyxTypeMismatch);
}

TEST(FindingClass, MatchesTheSchemaFile) {
    TContainer container;
    const auto declared = ReportSchemaProperties(kFindingClass);
    ASSERT_FALSE(declared.empty());
    EXPECT_EQ(ClassProperties(*FindingClass(container)), declared);
}

}  // namespace
