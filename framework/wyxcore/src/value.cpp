#include "wyxcore/value.h"

#include "wyxcore/exception.h"
#include "wyxcore/status.h"

namespace {
const char* const kTypeNames[] = {"string", "boolean", "char16", "datetime", "uint8", "sint8", "uint16",
                                  "sint16", "uint32", "sint32", "uint64", "sint64", "real32", "real64"};
}

const char* CIMTypeName(TCIMType type) { return kTypeNames[type]; }

bool CIMTypeFromName(const std::string& name, TCIMType* type) {
    for (int i = 0; i <= kCIMReal64; ++i) {
        if (name == kTypeNames[i]) {
            *type = static_cast<TCIMType>(i);
            return true;
        }
    }
    return false;
}

TCIMValue::TCIMValue() : type_(kCIMString) {}
TCIMValue::TCIMValue(const std::string& text) : type_(kCIMString), text_(text) {}
TCIMValue::TCIMValue(const char* text) : type_(kCIMString), text_(text ? text : "") {}
TCIMValue::TCIMValue(uint16_t number) : type_(kCIMUInt16), text_(std::to_string(number)) {}
TCIMValue::TCIMValue(const TCIMDateTime& dateTime)
    : type_(kCIMDateTime), text_(dateTime.ToString()), dateTime_(dateTime) {}

TCIMValue TCIMValue::FromText(TCIMType type, const std::string& text) {
    TCIMValue value(text);
    value.type_ = type;
    if (type == kCIMDateTime) {
        value.dateTime_ = TCIMDateTime::FromString(text);
        return value;
    }
    if (type != kCIMString) throw TWYXException(kWyxNotSupported, "type not yet supported");
    return value;
}

bool TCIMValue::operator==(const TCIMValue& other) const {
    return type_ == other.type_ && text_ == other.text_;
}
