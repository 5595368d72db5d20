#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "table_columns.h"
#include "wyxcore/container.h"

namespace {

TCIMInstance* add(TCIMClass* cimClass, const std::vector<std::string>& names) {
    TCIMInstance* instance = new TCIMInstance(cimClass);
    for (const std::string& name : names) {
        cimClass->DeclareProperty(name, kCIMString);
        instance->SetPropertyValue(name, TCIMValue("v" + name));
    }
    instance->Commit();
    return instance;
}

TEST(TableColumns, DeclaredFirstThenOthersInOrderOfAppearance) {
    TContainer container(TContainer::kEmpty);
    TCIMClass* cimClass = container.AddClass("C");
    cimClass->DeclareProperty("A", kCIMString);
    cimClass->DeclareProperty("B", kCIMString);
    // Declared later, as a file of another tool does it: still after A and B.
    const TCIMInstance* first = add(cimClass, {"Z", "A"});
    const TCIMInstance* second = add(cimClass, {"Y", "B", "Z"});
    const TableColumns columns(*cimClass);
    EXPECT_EQ((std::vector<std::string>{"A", "B", "Z", "Y"}), columns.Names());
    auto texts = [&](const TCIMInstance* instance) {
        std::vector<std::string> out;
        for (const TCIMValue* value : columns.ValuesOf(*instance)) out.push_back(value ? value->GetText() : "-");
        return out;
    };
    EXPECT_EQ((std::vector<std::string>{"vA", "-", "vZ", "-"}), texts(first));
    EXPECT_EQ((std::vector<std::string>{"-", "vB", "vZ", "vY"}), texts(second));
}

TEST(TableColumns, ClassOfVeryManyProperties) {
    TContainer container(TContainer::kEmpty);
    TCIMClass* cimClass = container.AddClass("Wide");
    std::vector<std::string> names;
    for (int i = 0; i < 5000; ++i) names.push_back("P" + std::to_string(i));
    const TCIMInstance* instance = add(cimClass, names);
    const TableColumns columns(*cimClass);
    ASSERT_EQ(names, columns.Names());
    const std::vector<const TCIMValue*> values = columns.ValuesOf(*instance);
    EXPECT_EQ("vP4999", values.back()->GetText());
}

}  // namespace

#include "value_display.h"

namespace {

// What both reports show for a value, arrays and references of other tools included.
TEST(DisplayValue, EachKindOfValueAsAPersonReadsIt) {
    TCIMDateTime when;
    when.Set(2026, 12, 8, 5, 31, 7, 0, -300);
    const struct {
        TCIMValue value;
        const char* shown;
    } cases[] = {
        {TCIMValue("text"), "text"},
        {TCIMValue(when), "2026-12-08 05:31:07 (UTC-05:00)"},
        {TCIMValue::FromText(kCIMDateTime, "2026120805****.******+060"), "2026120805****.******+060"},
        {TCIMValue::Array(kCIMUInt16, {"2", "0x0A"}), "{2, 10}"},
        {TCIMValue::Array(kCIMString, {}), "{}"},
        {TCIMValue::Array(kCIMDateTime, {when.ToString(), "2026120805****.******+060"}),
         "{2026-12-08 05:31:07 (UTC-05:00), 2026120805****.******+060}"},
        {TCIMValue::Reference("root:Other_System.Name=\"a\"", "<x/>"), "root:Other_System.Name=\"a\""},
    };
    for (const auto& c : cases) EXPECT_EQ(c.shown, DisplayValue(c.value));
}

}  // namespace
