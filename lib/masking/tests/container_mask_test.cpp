// A container masked in place: names learnt from its properties, every string
// value (arrays and references too) masked, other types left.
#include <gtest/gtest.h>

#include "masker.h"
#include "wyxcore/container.h"
#include "wyxcore/value.h"

namespace {

TEST(MaskContainer, LearnsFromPropertiesAndMasksEveryStringValue) {
    TContainer container(TContainer::kEmpty);
    TCIMClass* system = container.AddClass("VARNSG_ComputerSystem");
    system->DeclareProperty("Name", kCIMString);
    system->DeclareProperty("PrimaryOwnerName", kCIMString);
    system->DeclareProperty("SerialNumber", kCIMString);
    TCIMClass* log = container.AddClass("VARNSG_Log");
    log->DeclareProperty("Message", kCIMString);
    log->DeclareProperty(TCIMPropertyDecl("Addresses", kCIMString, true));
    log->DeclareProperty("DriverVersion", kCIMString);
    log->DeclareProperty("Count", kCIMUInt16);
    log->DeclareProperty(TCIMPropertyDecl("System", kCIMReference));

    TCIMInstance* machine = new TCIMInstance(system);
    machine->SetPropertyValue("Name", TCIMValue("dbsrv7"));
    machine->SetPropertyValue("PrimaryOwnerName", TCIMValue("Erika Muster"));
    machine->SetPropertyValue("SerialNumber", TCIMValue("SN42"));
    machine->Commit();
    TCIMInstance* record = new TCIMInstance(log);
    record->SetPropertyValue("Message", TCIMValue("dbsrv7 rebooted by Erika Muster from 10.1.1.1"));
    record->SetPropertyValue("Addresses", TCIMValue::Array(kCIMString, {"10.1.1.1", "fe80::1", "none"}));
    record->SetPropertyValue("DriverVersion", TCIMValue("10.2.3.4"));
    record->SetPropertyValue("Count", TCIMValue(static_cast<uint16_t>(10)));
    record->SetPropertyValue("System", TCIMValue::Reference("//dbsrv7/root/cimv2:VARNSG_ComputerSystem",
                                                            "<INSTANCEPATH><NAMESPACEPATH><HOST>dbsrv7</HOST>"));
    record->Commit();

    MaskChoice choice;
    choice.hosts = choice.addresses = choice.users = true;
    PseudonymMap map;
    Masker masker(choice, &map);
    masker.LearnFromContainer(&container);
    masker.MaskContainer(&container);

    EXPECT_EQ(machine->GetPropertyValue("Name")->GetText(), "host-0001");
    EXPECT_EQ(machine->GetPropertyValue("PrimaryOwnerName")->GetText(), "user-0001");
    EXPECT_EQ(machine->GetPropertyValue("SerialNumber")->GetText(), "SN42");   // serials not chosen
    EXPECT_EQ(record->GetPropertyValue("Message")->GetText(), "host-0001 rebooted by user-0001 from 192.0.2.1");
    EXPECT_EQ(record->GetPropertyValue("Addresses")->GetElements(),
              (std::vector<std::string>{"192.0.2.1", "2001:db8::1", "none"}));
    EXPECT_EQ(record->GetPropertyValue("DriverVersion")->GetText(), "10.2.3.4");   // a version, no address
    EXPECT_EQ(record->GetPropertyValue("Count")->GetText(), "10");
    EXPECT_EQ(record->GetPropertyValue("System")->GetText(), "//host-0001/root/cimv2:VARNSG_ComputerSystem");
    EXPECT_EQ(record->GetPropertyValue("System")->GetReferenceXml(),
              "<INSTANCEPATH><NAMESPACEPATH><HOST>host-0001</HOST>");
}

}  // namespace
