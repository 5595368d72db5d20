#include <gtest/gtest.h>

#include "test_support.h"
#include "wyxcore/cim_xml.h"
#include "wyxcore/container.h"
#include "wyxcore/flat.h"
#include "wyxcore/plugin.h"
#include "wyxcore/query_manager.h"
#include "wyxcore/root_object.h"
#include "wyxcore/status.h"

namespace {

using testsupport::TakeLog;

// Runs the builder fixture's script against the container; returns its log.
std::vector<std::string> runScript(TContainer* container, const std::vector<std::string>& script) {
    IPlugin* builder = testsupport::Plugin("fixture_builder");
    if (!builder) return {};
    TakeLog(builder);
    TRootObject::GetQueryManager()->RunQuery(builder, container, script, 0);
    return TakeLog(builder);
}

struct Step {
    const char* command;
    const char* logged;   // the builder's report
};

TEST(FlatEntryPoints, EachFailureReturns3AndChangesNothing) {
    const Step steps[] = {
        {"prop Source=x", "prop Source=x => 3"},   // no current instance yet
        {"class VARNSG_Undeclared", "class VARNSG_Undeclared => 3"},
        {"class-null", "class-null => 3"},
        {"class-badhandle VARNSG_OSKLogRecord", "class-badhandle VARNSG_OSKLogRecord => 3"},
        {"class VARNSG_OSKLogRecord", "class VARNSG_OSKLogRecord => 0"},
        {"prop Undeclared=x", "prop Undeclared=x => 3"},
        {"prop Type=abc", "prop Type=abc => 3"},
        {"prop Type=70000", "prop Type=70000 => 3"},
        {"prop MessageTimestamp=not a date", "prop MessageTimestamp=not a date => 3"},
        {"prop-null Source", "prop-null Source => 3"},
        {"prop-badhandle Source=x", "prop-badhandle Source=x => 3"},
        {"dt-unset MessageTimestamp", "dt-unset MessageTimestamp => 3"},
        {"dt-badhandle MessageTimestamp", "dt-badhandle MessageTimestamp => 3"},
        {"dt Message=2026,12,8,5,31,7,0,-300", "dt Message=2026,12,8,5,31,7,0,-300 set => 0"},
        {nullptr, "dt Message=2026,12,8,5,31,7,0,-300 add => 3"},   // not a datetime property
        {"dt MessageTimestamp=2026,2,30,0,0,0,0,0", "dt MessageTimestamp=2026,2,30,0,0,0,0,0 set => 3"},
        {nullptr, "dt MessageTimestamp=2026,2,30,0,0,0,0,0 add => 3"},   // never set
        {"dt-set 2026,13,1,0,0,0,0,0", "dt-set 2026,13,1,0,0,0,0,0 => 3"},
        {"dt-set 2026,1,1,24,0,0,0,0", "dt-set 2026,1,1,24,0,0,0,0 => 3"},
        {"dt-set 2026,1,1,0,0,0,0,1440", "dt-set 2026,1,1,0,0,0,0,1440 => 3"},
        {"dt-delete-twice", "dt-delete-twice new => 0"},
        {nullptr, "dt-delete-twice first => 0"},
        {nullptr, "dt-delete-twice second => 3"},
        {"dt-delete-badhandle", "dt-delete-badhandle => 3"},
        {"array", "array new => 0"},
        {nullptr, "array first => 0"},
        {nullptr, "array second => 3"},
        {"array-delete-badhandle", "array-delete-badhandle => 3"},
        {"path-badhandle", "path-badhandle => 3"},
        {"log-badhandle", "log-badhandle => 3"},
    };
    std::vector<std::string> script, expected;
    for (const Step& step : steps) {
        if (step.command) script.push_back(step.command);
        expected.push_back(step.logged);
    }
    TContainer container;
    EXPECT_EQ(expected, runScript(&container, script));
    // Only the one instance was added, and no failed call set anything on it.
    const std::vector<TCIMInstance*> records = container.FindClass("VARNSG_OSKLogRecord")->EnumerateInstances(true);
    ASSERT_EQ(1u, records.size());
    EXPECT_TRUE(records[0]->GetProperties().empty());
}

TEST(FlatEntryPoints, PluginPathIsTheLibraryFile) {
    IPlugin* builder = testsupport::Plugin("fixture_builder");
    ASSERT_NE(nullptr, builder);
    TContainer container;
    const std::vector<std::string> log = runScript(&container, {"path"});
    ASSERT_EQ(1u, log.size());
    EXPECT_EQ("path " + builder->GetFileName() + " => 0", log[0]);
}

TEST(FlatEntryPoints, HandlesAreRefusedAfterTheCallback) {
    // A container handle is only live inside the data callback.
    TContainer container;
    EXPECT_EQ(kWyxFailure, wyxAddClass(&container, "VARNSG_OSKLogRecord"));
    EXPECT_EQ(kWyxFailure, wyxAddClass(nullptr, "VARNSG_OSKLogRecord"));
    EXPECT_EQ(kWyxFailure, wyxNewCIMDateTime(nullptr));
    EXPECT_EQ(kWyxFailure, wyxNewCIMValueArray(nullptr));
    EXPECT_EQ(kWyxFailure, wyxDeleteCIMDateTime(nullptr));
    EXPECT_EQ(kWyxFailure, wyxGetPluginPath(nullptr, nullptr));
    EXPECT_EQ(kWyxFailure, wyxWriteLog(nullptr, 2, nullptr));
}

// The done-when case: a container filled through the flat entry points and
// through the classes is written by the "XML" plug-in and reads back the same.
TEST(FlatEntryPoints, FilledContainerRoundTripsThroughTheXmlPlugin) {
    TContainer container;
    const std::vector<std::string> log = runScript(
        &container, {"class VARNSG_OSKLogRecord", "prop Source=quarnel", "prop Type=100",
                     "prop Message=caf\xE9 & <tag> \"q\" ]]>\r\n", "dt MessageTimestamp=2026,12,8,5,31,7,0,-300",
                     "prop RecordID=", "class VARNSG_HeavyHittersLogRecord",
                     "dt MessageTimestamp=1970,1,2,0,0,0,0,0", "prop Message=first", "prop Message=second"});
    for (const std::string& line : log) EXPECT_EQ(" => 0", line.substr(line.size() - 5)) << line;
    TCIMInstance* made = new TCIMInstance(container.FindClass("VARNSG_OSKMessageLog"));
    made->SetPropertyValue("CreationClassName", TCIMValue("VARNSG_OSKMessageLog"));
    made->SetPropertyValue("Name", TCIMValue("VARN OSK core log"));
    made->Commit();

    const TCIMInstance* record = container.FindClass("VARNSG_OSKLogRecord")->EnumerateInstances(true).at(0);
    EXPECT_EQ(kCIMUInt16, record->GetPropertyValue("Type")->GetType());
    EXPECT_EQ("20261208053107.000000-300", record->GetPropertyValue("MessageTimestamp")->GetText());
    EXPECT_EQ("", record->GetPropertyValue("RecordID")->GetText());
    const TCIMInstance* note = container.FindClass("VARNSG_HeavyHittersLogRecord")->EnumerateInstances(true).at(0);
    EXPECT_EQ("second", note->GetPropertyValue("Message")->GetText());

    IPlugin* xml = testsupport::Plugin("XML");
    ASSERT_NE(nullptr, xml);
    EXPECT_EQ(kWyxWriter, xml->GetCallbacks()->GetType());
    IPluginWriteCallbacks* writer = dynamic_cast<IPluginWriteCallbacks*>(xml->GetCallbacks());
    ASSERT_NE(nullptr, writer);
    testsupport::TempDir dir;
    writer->WriteContainer(&container, dir.path("run.xml.gz"));
    TContainer copy;
    copy.PopulateContainerFromFile(dir.path("run.xml.gz"));
    EXPECT_EQ(testsupport::Describe(container), testsupport::Describe(copy));
}

}  // namespace
