// What a collection's facts say of its records and its machine: the logs that
// tell records apart, and the verdict of its findings.
#include <gtest/gtest.h>

#include "collection_facts.h"
#include "wyxcore/container.h"

namespace {

void add(TContainer& container, const std::string& className,
         const std::vector<std::pair<std::string, std::string> >& values) {
    TCIMClass* cimClass = container.AddClass(className);
    for (const auto& v : values) cimClass->DeclareProperty(v.first, kCIMString);
    TCIMInstance* instance = new TCIMInstance(cimClass);
    for (const auto& v : values) instance->SetPropertyValue(v.first, TCIMValue(v.second));
    instance->Commit();
}

struct LogCase {
    const char* name;
    const char* className;
    const char* property;
    const char* value;
    const char* log;
};

class RecordLogs : public testing::TestWithParam<LogCase> {};

TEST_P(RecordLogs, TheLogOfARecord) {
    TContainer container(TContainer::kEmpty);
    add(container, GetParam().className,
        {{"RecordID", "7"}, {"Message", "m"}, {GetParam().property, GetParam().value}});
    const CollectionFacts facts = ReadCollectionFacts(container);
    ASSERT_EQ(facts.records.size(), 1u);
    EXPECT_EQ(facts.records[0].log, GetParam().log);
    EXPECT_EQ(facts.records[0].recordId, "7");
}

INSTANTIATE_TEST_SUITE_P(Table, RecordLogs,
                         testing::Values(
                             // Each processor of a ULK log numbers its own records.
                             LogCase{"ulk_processor", "VARNSG_ULKLog", "LoggingSource", "Node 2: SP B", "ULK Node 2"},
                             // A plain source is the component that logged, not another log.
                             LogCase{"ulk_component", "VARNSG_ULKLog", "LoggingSource", "BIOS", "ULK"},
                             LogCase{"os_log_name", "VARNSG_OSEventLogRecord", "LogName", "System", "OS log System"},
                             LogCase{"sel", "VARNSG_SELRecord", "Source", "ipmi", "SEL ipmi"},
                             LogCase{"hardware_errors", "VARNSG_HardwareErrorRecord", "Source", "rasdaemon",
                                     "Hardware errors rasdaemon"}),
                         [](const testing::TestParamInfo<LogCase>& info) { return std::string(info.param.name); });

struct VerdictCase {
    const char* name;
    std::vector<const char*> severities;
    const char* verdict;
};

class Verdicts : public testing::TestWithParam<VerdictCase> {};

TEST_P(Verdicts, TheWorstFindingOrOK) {
    TContainer container(TContainer::kEmpty);
    add(container, "VARNSG_ComputerSystem", {{"SerialNumber", " KQ1 "}, {"CMCMTM", "{CMCMTM}8865-1RY"}});
    int n = 0;
    for (const char* severity : GetParam().severities)
        add(container, "VARNSG_AnalysisFinding",
            {{"Severity", severity}, {"Category", "c"}, {"Description", "d" + std::to_string(n++)}});
    const CollectionFacts facts = ReadCollectionFacts(container);
    EXPECT_EQ(facts.verdict, GetParam().verdict);
    EXPECT_EQ(facts.serial, "KQ1");
    EXPECT_EQ(facts.typeModel, "8865-1RY");
}

INSTANTIATE_TEST_SUITE_P(Table, Verdicts,
                         testing::Values(VerdictCase{"none", {}, "OK"}, VerdictCase{"info_only", {"Info"}, "OK"},
                                         VerdictCase{"warning", {"Info", "Warning"}, "Warning"},
                                         VerdictCase{"error_wins", {"Warning", "Error", "Info"}, "Error"}),
                         [](const testing::TestParamInfo<VerdictCase>& info) { return std::string(info.param.name); });

}  // namespace
