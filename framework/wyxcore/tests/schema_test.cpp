#include <gtest/gtest.h>

#include "expect_status.h"
#include "wyxcore/container.h"
#include "wyxcore/exception.h"
#include "wyxcore/schema_helper.h"
#include "wyxcore/status.h"

namespace {

TEST(Schema, NewContainerDeclaresTheFrameworkClasses) {
    TContainer container;
    const struct {
        const char* cimClass;
        const char* property;
        TCIMType type;
    } declared[] = {
        {"VARNSG_OSKMessageLog", "Name", kCIMString},
        {"VARNSG_HeavyHittersMessageLog", "CreationClassName", kCIMString},
        {"VARNSG_OSKLogRecord", "Source", kCIMString},
        {"VARNSG_OSKLogRecord", "Type", kCIMUInt16},
        {"VARNSG_OSKLogRecord", "MessageTimestamp", kCIMDateTime},
        {"VARNSG_OSKLogRecord", "RecordID", kCIMString},
        {"VARNSG_HeavyHittersLogRecord", "LogCreationClassName", kCIMString},
        {"VARNSG_HeavyHittersLogRecord", "MessageTimestamp", kCIMDateTime},
        {"VARNSG_ComputerSystem", "CMCMTM", kCIMString},
        {"VARNSG_ComputerSystem", "SerialNumber", kCIMString},
        {"VARNSG_OperatingSystem", "LastBootUpTime", kCIMDateTime},
    };
    for (const auto& d : declared) {
        const TCIMClass* cimClass = container.FindClass(d.cimClass);
        ASSERT_NE(nullptr, cimClass) << d.cimClass;
        const TCIMPropertyDecl* decl = cimClass->FindProperty(d.property);
        ASSERT_NE(nullptr, decl) << d.cimClass << "." << d.property;
        EXPECT_EQ(d.type, decl->type) << d.cimClass << "." << d.property;
        EXPECT_EQ(0u, cimClass->GetInstanceCount());
    }
    // Heavy-hitter records have no Source and no Type.
    EXPECT_EQ(nullptr, container.FindClass("VARNSG_HeavyHittersLogRecord")->FindProperty("Source"));
    // The computer system is collected only when asked for by name; the
    // operating system in the first pass.
    EXPECT_EQ("system", container.FindClass("VARNSG_ComputerSystem")->GetProvider());
    EXPECT_EQ(-1, container.FindClass("VARNSG_ComputerSystem")->GetProviderPass());
    EXPECT_EQ(0, container.FindClass("VARNSG_OperatingSystem")->GetProviderPass());
    EXPECT_EQ(nullptr, TContainer(TContainer::kEmpty).FindClass("VARNSG_OSKLogRecord"));
}

TEST(Schema, InstancesAreStrict) {
    TContainer container;
    TCIMInstance instance(container.FindClass("VARNSG_OSKLogRecord"));
    const struct {
        const char* property;
        TCIMValue value;
        int status;
    } cases[] = {
        {"Undeclared", TCIMValue("x"), kWyxUnknownProperty},
        {"Type", TCIMValue("2"), kWyxTypeMismatch},
        {"Source", TCIMValue(static_cast<uint16_t>(2)), kWyxTypeMismatch},
    };
    for (const auto& c : cases) {
        EXPECT_STATUS(instance.SetPropertyValue(c.property, c.value), c.status) << c.property;
    }
    EXPECT_TRUE(instance.GetProperties().empty());
}

void addSystem(TContainer* container, const std::vector<std::pair<std::string, std::string> >& props) {
    TCIMInstance* instance = new TCIMInstance(container->FindClass("VARNSG_ComputerSystem"));
    for (const auto& prop : props) instance->SetPropertyValue(prop.first, TCIMValue(prop.second));
    instance->Commit();
}

TEST(SchemaHelper, ReadsTheFirstComputerSystemOrThrows) {
    const struct {
        const char* what;
        std::vector<std::pair<std::string, std::string> > props;
        const char* mtm;      // null: throws
        const char* serial;
    } cases[] = {
        {"complete", {{"CreationClassName", "VARNSG_ComputerSystem"}, {"Model", "8841-AB1"}, {"SerialNumber", "K1"}},
         "8841-AB1", "K1"},
        {"no serial number", {{"CreationClassName", "VARNSG_ComputerSystem"}, {"Model", "8841"}}, "8841", nullptr},
        {"empty model", {{"Model", ""}, {"SerialNumber", "K2"}}, nullptr, "K2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TContainer container;
        addSystem(&container, c.props);
        addSystem(&container, {{"Model", "second"}, {"SerialNumber", "second"}});
        if (c.mtm) EXPECT_EQ(c.mtm, TCIMSchemaHelper::GetMTM(&container));
        else EXPECT_THROW(TCIMSchemaHelper::GetMTM(&container), TWYXException);
        if (c.serial) EXPECT_EQ(c.serial, TCIMSchemaHelper::GetSerialNumber(&container));
        else EXPECT_THROW(TCIMSchemaHelper::GetSerialNumber(&container), TWYXException);
    }
    TContainer none;
    EXPECT_STATUS(TCIMSchemaHelper::GetSystemCreationClassName(&none), kWyxNoSystemIdentity)
        << "no instance, no identity";
    TContainer empty(TContainer::kEmpty);
    EXPECT_THROW(TCIMSchemaHelper::GetSerialNumber(&empty), TWYXException);
}

}  // namespace
