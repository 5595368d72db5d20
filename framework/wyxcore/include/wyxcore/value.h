#ifndef WYXCORE_VALUE_H
#define WYXCORE_VALUE_H

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "wyxcore/datetime.h"
#include "wyxcore/export.h"

// CIM intrinsic types. The names are those of CIM-XML's TYPE attribute.
enum TCIMType {
    kCIMString, kCIMBoolean, kCIMChar16, kCIMDateTime,
    kCIMUInt8, kCIMSInt8, kCIMUInt16, kCIMSInt16, kCIMUInt32, kCIMSInt32,
    kCIMUInt64, kCIMSInt64, kCIMReal32, kCIMReal64,
    kCIMReference   // a property of PROPERTY.REFERENCE; no TYPE attribute names it
};

WYX_API const char* CIMTypeName(TCIMType type);
// False when the name is not a type of a property's TYPE attribute ("reference"
// is not one).
WYX_API bool CIMTypeFromName(const std::string& name, TCIMType* type);

// One property value: a scalar, an array of one type, or a reference. Every
// scalar is held as its canonical text; FromText checks that a text parses as
// the type. Array elements are canonical texts as well; an array's GetText is
// empty. A reference's text is its object path as a person reads it
// ("//host/root/cimv2:Class.Key=\"v\""), and it keeps the CIM-XML it was read
// from, so that it is written back unchanged.
class WYX_API TCIMValue {
public:
    TCIMValue();                                  // empty string
    TCIMValue(std::string text);                  // string
    TCIMValue(const char* text);                  // string
    TCIMValue(uint16_t number);                   // uint16
    TCIMValue(const TCIMDateTime& dateTime);      // datetime
    TCIMValue(const TCIMValue& other);
    TCIMValue(TCIMValue&& other) noexcept;
    TCIMValue& operator=(const TCIMValue& other);
    TCIMValue& operator=(TCIMValue&& other) noexcept;
    ~TCIMValue();

    // A value of the given type from its CIM-XML text; throws TWYXException
    // (kWyxTypeMismatch, the detail naming the form) when the text does not
    // parse as that type. Integers: decimal or "0x" hexadecimal with an optional
    // sign, or binary ("101b"); kept as shortest decimal. Reals: decimal with an
    // optional exponent, "INF", "-INF", "NaN". Booleans in any case. Date-times:
    // points, intervals, and either with fields masked by asterisks (such a
    // value has no date-time object).
    static TCIMValue FromText(TCIMType type, const std::string& text);
    // The same, taking the text over.
    static TCIMValue FromText(TCIMType type, std::string&& text);
    // An array; each element is checked as FromText does (the detail then
    // names the element's index).
    static TCIMValue Array(TCIMType type, std::vector<std::string> elements);
    // A reference: its readable path and the content of its VALUE.REFERENCE.
    static TCIMValue Reference(std::string path, std::string xml);

    TCIMType GetType() const { return type_; }
    const std::string& GetText() const { return text_; }   // canonical text (DMTF form for datetime)
    // The default (invalid) point for a value of another type, a masked
    // date-time or an array.
    const TCIMDateTime& GetDateTime() const;
    // Null where GetDateTime gives the default point.
    const TCIMDateTime* FindDateTime() const { return dateTime_.get(); }
    bool IsArray() const { return isArray_; }
    // The elements of an array; empty for a scalar.
    const std::vector<std::string>& GetElements() const;
    // The content of a reference's VALUE.REFERENCE; empty for other values.
    const std::string& GetReferenceXml() const;
    bool operator==(const TCIMValue& other) const;
    bool operator!=(const TCIMValue& other) const { return !(*this == other); }

private:
    struct Detail;
    TCIMType type_;
    bool isArray_ = false;
    std::string text_;
    // Only datetime values carry one, and only arrays and references a detail:
    // a container holds millions of values.
    std::unique_ptr<TCIMDateTime> dateTime_;
    std::unique_ptr<Detail> detail_;
};

#endif
