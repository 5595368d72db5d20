#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "expect_status.h"
#include "wyxcore/exception.h"
#include "wyxcore/status.h"
#include "wyxcore/value.h"

namespace {

struct TextCase {
    TCIMType type;
    const char* text;
    const char* canonical;   // null: rejected
    const char* form = nullptr;   // rejected: the message, naming the form
};

const TextCase kCases[] = {
    {kCIMString, "", ""},
    {kCIMString, " any\ttext ", " any\ttext "},
    {kCIMBoolean, "true", "true"},
    {kCIMBoolean, "FALSE", "false"},
    {kCIMBoolean, "tRuE", "true"},
    {kCIMBoolean, "yes", nullptr, "not a boolean"},
    {kCIMBoolean, "", nullptr},
    {kCIMChar16, "x", "x"},
    {kCIMChar16, "", nullptr},
    {kCIMChar16, "xy", nullptr},
    {kCIMUInt8, "255", "255"},
    {kCIMUInt8, "256", nullptr},
    {kCIMUInt8, "-1", nullptr},
    {kCIMSInt8, "-128", "-128"},
    {kCIMSInt8, "-129", nullptr},
    {kCIMSInt8, "127", "127"},
    {kCIMSInt8, "128", nullptr},
    {kCIMUInt16, "007", "7"},
    {kCIMUInt16, "65535", "65535"},
    {kCIMUInt16, "65536", nullptr},
    {kCIMUInt16, "", nullptr},
    {kCIMUInt16, " 1", nullptr},
    {kCIMUInt16, "1 ", nullptr},
    {kCIMUInt16, "+1", "1"},
    {kCIMUInt16, "0x10", "16"},
    {kCIMSInt16, "-0X7fFf", "-32767"},
    {kCIMSInt16, "+0x8000", nullptr, "out of range for its type"},
    {kCIMUInt8, "0x", nullptr, "a hexadecimal integer without digits"},
    {kCIMUInt8, "0xG", nullptr, "not a hexadecimal integer"},
    {kCIMUInt8, "-", nullptr, "an integer without digits"},
    {kCIMUInt8, "-0x1", nullptr, "a negative number for an unsigned type"},
    {kCIMUInt8, "101b", "5"},                 // the binary form
    {kCIMSInt8, "-1111111B", "-127"},
    {kCIMUInt8, "102b", nullptr, "not a binary integer"},
    {kCIMUInt8, "010", "10"},                 // no octal form in CIM-XML: decimal
    {kCIMUInt64, "0xFFFFFFFFFFFFFFFF", "18446744073709551615"},
    {kCIMUInt64, "0x10000000000000000", nullptr, "out of range for its type"},
    {kCIMUInt16, "abc", nullptr},
    {kCIMSInt16, "-0", "0"},
    {kCIMSInt16, "-32768", "-32768"},
    {kCIMSInt16, "32768", nullptr},
    {kCIMUInt32, "4294967295", "4294967295"},
    {kCIMUInt32, "4294967296", nullptr},
    {kCIMSInt32, "-2147483648", "-2147483648"},
    {kCIMSInt32, "2147483648", nullptr},
    {kCIMUInt64, "18446744073709551615", "18446744073709551615"},
    {kCIMUInt64, "18446744073709551616", nullptr},
    {kCIMUInt64, "9999999999999999999", "9999999999999999999"},   // the longest plain decimal read in one pass
    {kCIMSInt64, "9223372036854775807", "9223372036854775807"},
    {kCIMSInt8, "200", nullptr, "out of range for its type"},
    {kCIMUInt8, "1x", nullptr, "not a decimal integer"},
    {kCIMUInt64, "000000000000000000000001", "1"},
    {kCIMSInt64, "-9223372036854775808", "-9223372036854775808"},
    {kCIMSInt64, "9223372036854775808", nullptr},
    {kCIMReal32, "1.5", "1.5"},
    {kCIMReal64, "-2.5e-10", "-2.5e-10"},
    {kCIMReal64, "1.5x", nullptr},
    {kCIMReal64, "", nullptr},
    {kCIMReal64, "nan", nullptr, "not a decimal real"},
    {kCIMReal64, "NaN", "NaN"},
    {kCIMReal32, "-INF", "-INF"},
    {kCIMReal64, "INF", "INF"},
    {kCIMReal64, ".5E+3", ".5E+3"},
    {kCIMReal64, "1e999", nullptr, "out of range for real64"},
    {kCIMReal32, "3.5e38", nullptr, "out of range for real32"},
    {kCIMReal32, "3.4e38", "3.4e38"},
    {kCIMReal64, "1e-999", "1e-999"},         // too small to hold: zero, not an error
    {kCIMDateTime, "20261208053107.000000-300", "20261208053107.000000-300"},
    {kCIMDateTime, "00000001060000.000000:000", "00000001060000.000000:000"},
    {kCIMDateTime, "20260230053107.000000-300", nullptr, "a date-time field out of range"},
    {kCIMDateTime, "yesterday", nullptr, "not a DMTF date-time"},
    {kCIMDateTime, "20261208053107.000000-000", "20261208053107.000000+000"},
    // Fields masked by asterisks: whole fields, the microseconds from the right.
    {kCIMDateTime, "2026120805****.******+060", "2026120805****.******+060"},
    {kCIMDateTime, "20261208053107.123***-300", "20261208053107.123***-300"},
    {kCIMDateTime, "****1225******.******-000", "****1225******.******+000"},
    {kCIMDateTime, "****0229000000.000000+000", "****0229000000.000000+000"},   // a leap year may be meant
    {kCIMDateTime, "20260229******.******+000", nullptr, "a date-time field out of range"},
    {kCIMDateTime, "2026*208053107.000000+000", nullptr, "a date-time field masked in part"},
    {kCIMDateTime, "20261208053107.**1234+000", nullptr, "a date-time field masked in part"},
    {kCIMDateTime, "20261208053107.000000+***", nullptr, "a masked UTC offset"},
    {kCIMDateTime, "2026120805310x.000000+000", nullptr, "a date-time field that is neither digits nor asterisks"},
    {kCIMDateTime, "00000001******.******:000", "00000001******.******:000"},
    {kCIMDateTime, "0000000124****.******:000", nullptr, "a date-time field out of range"},
    {kCIMDateTime, "00000001000000.000000:060", nullptr, "not a DMTF interval"},
};

TEST(ValueFromText, AcceptsTheTypesTextAndRejectsTheRest) {
    for (const TextCase& c : kCases) {
        SCOPED_TRACE(std::string(CIMTypeName(c.type)) + " '" + c.text + "'");
        if (c.canonical) {
            const TCIMValue value = TCIMValue::FromText(c.type, c.text);
            EXPECT_EQ(c.type, value.GetType());
            EXPECT_EQ(c.canonical, value.GetText());
        } else {
            if (c.form) {
                EXPECT_STATUS_DETAIL(TCIMValue::FromText(c.type, c.text), kWyxTypeMismatch,
                                     std::string("'") + c.text + "': " + c.form);
            } else {
                EXPECT_STATUS(TCIMValue::FromText(c.type, c.text), kWyxTypeMismatch);
            }
        }
    }
}

TEST(ValueConstructors, EachGivesItsType) {
    TCIMDateTime when;
    when.Set(2026, 12, 8, 5, 31, 7, 0, -300);
    EXPECT_EQ(kCIMString, TCIMValue(std::string("a")).GetType());
    EXPECT_EQ(kCIMString, TCIMValue("a").GetType());
    EXPECT_EQ("", TCIMValue(static_cast<const char*>(nullptr)).GetText());
    EXPECT_EQ(kCIMUInt16, TCIMValue(static_cast<uint16_t>(65535)).GetType());
    EXPECT_EQ("65535", TCIMValue(static_cast<uint16_t>(65535)).GetText());
    EXPECT_EQ(kCIMDateTime, TCIMValue(when).GetType());
    EXPECT_EQ(when, TCIMValue(when).GetDateTime());
    // A string "7" and a uint16 7 are different values.
    EXPECT_NE(TCIMValue("7"), TCIMValue(static_cast<uint16_t>(7)));
}

// Only datetime values carry a date-time object: copies must carry their own,
// and every other value reports the default point.
TEST(ValueCopies, KeepTheirDateTimeApart) {
    TCIMDateTime when;
    when.Set(2026, 12, 8, 5, 31, 7, 0, -300);
    TCIMDateTime later;
    later.Set(2027, 1, 2, 3, 4, 5, 6, 60);
    const TCIMValue original(when);
    TCIMValue copied(original);
    TCIMValue assigned("text");
    assigned = original;
    TCIMValue source(later);
    const TCIMValue moved(std::move(source));
    TCIMValue overwritten(when);
    overwritten = TCIMValue("plain");
    const struct {
        const char* what;
        const TCIMValue& value;
        TCIMType type;
        TCIMDateTime dateTime;
    } cases[] = {
        {"copy", copied, kCIMDateTime, when},
        {"assigned", assigned, kCIMDateTime, when},
        {"moved", moved, kCIMDateTime, later},
        {"overwritten by a string", overwritten, kCIMString, TCIMDateTime()},
        {"original", original, kCIMDateTime, when},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.type, c.value.GetType());
        EXPECT_EQ(c.dateTime, c.value.GetDateTime());
    }
    copied = TCIMValue(later);   // changing a copy leaves the original alone
    EXPECT_EQ(later, copied.GetDateTime());
    EXPECT_EQ(when, original.GetDateTime());
    EXPECT_EQ(TCIMDateTime(), TCIMValue::FromText(kCIMUInt8, "7").GetDateTime());
    EXPECT_EQ(when, TCIMValue::FromText(kCIMDateTime, when.ToString()).GetDateTime());
}

TEST(ValueArrays, ElementsAreCheckedAndCanonical) {
    const TCIMValue status = TCIMValue::Array(kCIMUInt16, {"2", "0x0A", "+3"});
    EXPECT_TRUE(status.IsArray());
    EXPECT_EQ(kCIMUInt16, status.GetType());
    EXPECT_EQ((std::vector<std::string>{"2", "10", "3"}), status.GetElements());
    EXPECT_EQ("", status.GetText());
    EXPECT_EQ(TCIMDateTime(), status.GetDateTime());
    EXPECT_EQ(status, TCIMValue::Array(kCIMUInt16, {"2", "10", "3"}));
    EXPECT_NE(status, TCIMValue::Array(kCIMUInt16, {"2", "10"}));
    EXPECT_NE(TCIMValue::Array(kCIMString, {}), TCIMValue(""));   // an empty array is no empty string
    try {
        TCIMValue::Array(kCIMUInt8, {"1", "256"});
        ADD_FAILURE() << "accepted";
    } catch (const TWYXException& e) {
        EXPECT_EQ("element 1 '256': out of range for its type", e.GetDetail());
    }
    // A scalar never shows elements, whatever it is.
    EXPECT_TRUE(TCIMValue("a").GetElements().empty());
    EXPECT_FALSE(TCIMValue::Reference("C=@", "<INSTANCENAME CLASSNAME=\"C\"/>").IsArray());
}

TEST(ValueTypeNames, RoundTripAndUnknown) {
    for (int i = kCIMString; i <= kCIMReal64; ++i) {
        TCIMType type;
        ASSERT_TRUE(CIMTypeFromName(CIMTypeName(static_cast<TCIMType>(i)), &type));
        EXPECT_EQ(i, type);
    }
    TCIMType type;
    EXPECT_FALSE(CIMTypeFromName("reference", &type));
    EXPECT_FALSE(CIMTypeFromName("String", &type));
}

}  // namespace
