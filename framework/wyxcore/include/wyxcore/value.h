#ifndef WYXCORE_VALUE_H
#define WYXCORE_VALUE_H

#include <cstdint>
#include <memory>
#include <string>

#include "wyxcore/datetime.h"
#include "wyxcore/export.h"

// CIM intrinsic types. The names are those of CIM-XML's TYPE attribute.
enum TCIMType {
    kCIMString, kCIMBoolean, kCIMChar16, kCIMDateTime,
    kCIMUInt8, kCIMSInt8, kCIMUInt16, kCIMSInt16, kCIMUInt32, kCIMSInt32,
    kCIMUInt64, kCIMSInt64, kCIMReal32, kCIMReal64
};

WYX_API const char* CIMTypeName(TCIMType type);
// False when the name is not a CIM type.
WYX_API bool CIMTypeFromName(const std::string& name, TCIMType* type);

// One property value. Every type but datetime is held as its canonical text;
// FromText checks that a text parses as the type.
class WYX_API TCIMValue {
public:
    TCIMValue();                                  // empty string
    TCIMValue(std::string text);                  // string
    TCIMValue(const char* text);                  // string
    TCIMValue(uint16_t number);                   // uint16
    TCIMValue(const TCIMDateTime& dateTime);      // datetime
    TCIMValue(const TCIMValue& other);
    TCIMValue(TCIMValue&& other) noexcept = default;
    TCIMValue& operator=(const TCIMValue& other);
    TCIMValue& operator=(TCIMValue&& other) noexcept = default;
    ~TCIMValue();

    // A value of the given type from its CIM-XML text; throws TWYXException
    // (kWyxTypeMismatch) when the text does not parse as that type.
    static TCIMValue FromText(TCIMType type, const std::string& text);
    // The same, taking the text over.
    static TCIMValue FromText(TCIMType type, std::string&& text);

    TCIMType GetType() const { return type_; }
    const std::string& GetText() const { return text_; }   // canonical text (DMTF form for datetime)
    // The default (invalid) point for a value of another type.
    const TCIMDateTime& GetDateTime() const;
    bool operator==(const TCIMValue& other) const;
    bool operator!=(const TCIMValue& other) const { return !(*this == other); }

private:
    TCIMType type_;
    std::string text_;
    // Only datetime values carry one: a container holds millions of values.
    std::unique_ptr<TCIMDateTime> dateTime_;
};

#endif
