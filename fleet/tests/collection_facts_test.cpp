// What a collection's facts say of its records and its machine: the logs that
// tell records apart, and the verdict of its parts.
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

// A collection's verdict is the parts model's headline; each part keeps the
// model's identity, its verdict and how much evidence made it.
struct VerdictCase {
    const char* name;
    std::vector<std::pair<std::string, std::vector<std::pair<std::string, std::string> > > > rows;
    const char* verdict;
    size_t failing, warnings;
    const char* parts;   // "Kind key/scheme Name: Verdict [evidence]; ..."
};

// The analysis's finding on a disk's state is what fails it.
const std::pair<std::string, std::vector<std::pair<std::string, std::string> > > kDiskFinding{
    "VARNSG_AnalysisFinding",
    {{"Severity", "Error"}, {"Category", "Disk"}, {"Description", "Disk sda reports state Failed"},
     {"SourceClass", "VARNSG_DiskDrive"}, {"SourceKey", "DeviceID=sda"}}};

class Verdicts : public testing::TestWithParam<VerdictCase> {};

TEST_P(Verdicts, TheHeadlineOfThePartsModel) {
    TContainer container(TContainer::kEmpty);
    add(container, "VARNSG_ComputerSystem", {{"SerialNumber", " KQ1 "}, {"CMCMTM", "{CMCMTM}8865-1RY"}});
    for (const auto& row : GetParam().rows) add(container, row.first, row.second);
    const CollectionFacts facts = ReadCollectionFacts(container);
    EXPECT_EQ(facts.verdict, GetParam().verdict);
    EXPECT_EQ(facts.partsFailing, GetParam().failing);
    EXPECT_EQ(facts.partsWarnings, GetParam().warnings);
    std::string parts;
    for (const PartVerdictFact& p : facts.partVerdicts)
        parts += (parts.empty() ? "" : "; ") + p.kind + " " + p.key + "/" + p.scheme + " " + p.name + ": " +
                 p.verdict + " [" + std::to_string(p.evidence) + "]";
    EXPECT_EQ(parts, GetParam().parts);
    EXPECT_EQ(facts.serial, "KQ1");
    EXPECT_EQ(facts.typeModel, "8865-1RY");
}

INSTANTIATE_TEST_SUITE_P(
    Table, Verdicts,
    testing::Values(
        VerdictCase{"no_parts", {}, "No part failing or with warnings", 0, 0, ""},
        // A finding alone is no part's verdict: the collection's verdict no longer follows the worst finding.
        VerdictCase{"finding_names_no_part",
                    {{"VARNSG_AnalysisFinding", {{"Severity", "Error"}, {"Category", "c"}, {"Description", "d"}}}},
                    "No part failing or with warnings", 0, 0, ""},
        VerdictCase{"failed_disk",
                    {{"VARNSG_DiskDrive", {{"DeviceID", "sda"}, {"Status", "Failed"}}}, kDiskFinding,
                     {"VARNSG_DiskDrive", {{"DeviceID", "sdb"}, {"Status", "OK"}}}},
                    "1 part failing", 1, 0, "Disk SDA/ Disk sda: Failed [1]; Disk SDB/ Disk sdb: OK [1]"},
        VerdictCase{"warned_dimm",
                    {{"VARNSG_MemoryErrorCounter",
                      {{"Label", "DIMM_A4"}, {"CorrectedCount", "3"}, {"UncorrectedCount", "0"}}}},
                    "No part failing, 1 with a warning", 0, 1, "DIMM A4/ DIMM_A4: Warning [1]"},
        VerdictCase{"failing_and_warned",
                    {{"VARNSG_DiskDrive", {{"DeviceID", "sda"}, {"Status", "Failed"}}}, kDiskFinding,
                     {"VARNSG_MemoryErrorCounter",
                      {{"Label", "DIMM_A4"}, {"CorrectedCount", "3"}, {"UncorrectedCount", "0"}}},
                     {"VARNSG_Processor", {{"DeviceID", "CPU0"}}}},
                    "1 part failing, 1 with a warning", 1, 1,
                    "Disk SDA/ Disk sda: Failed [1]; DIMM A4/ DIMM_A4: Warning [1]; Processor 0/os CPU0: Unknown [1]"}),
    [](const testing::TestParamInfo<VerdictCase>& info) { return std::string(info.param.name); });

}  // namespace
