#include "wyxcore/value.h"

#include <cerrno>
#include <cstdlib>
#include <utility>

#include "wyxcore/exception.h"
#include "wyxcore/status.h"

namespace {

const char* const kTypeNames[] = {"string", "boolean", "char16", "datetime", "uint8", "sint8", "uint16",
                                  "sint16", "uint32", "sint32", "uint64", "sint64", "real32", "real64"};

// Decimal integers only (an optional '-' for the signed types), kept in their
// shortest form so that "007" and "7" are the same value.
void canonicalInteger(std::string* text, bool isSigned, unsigned bits) {
    const bool negative = !text->empty() && (*text)[0] == '-';
    size_t first = negative ? 1 : 0;
    if ((negative && !isSigned) || first == text->size()) throw TWYXException(kWyxTypeMismatch, *text);
    unsigned long long value = 0;
    for (size_t i = first; i < text->size(); ++i) {
        const char c = (*text)[i];
        if (c < '0' || c > '9') throw TWYXException(kWyxTypeMismatch, *text);
        const unsigned digit = static_cast<unsigned>(c - '0');
        if (value > (~0ull - digit) / 10) throw TWYXException(kWyxTypeMismatch, *text);
        value = value * 10 + digit;
    }
    const unsigned long long maxMagnitude =
        bits == 64 ? (isSigned ? (negative ? 9223372036854775808ull : 9223372036854775807ull) : ~0ull)
                   : (isSigned ? (1ull << (bits - 1)) - (negative ? 0 : 1) : (1ull << bits) - 1);
    if (value > maxMagnitude) throw TWYXException(kWyxTypeMismatch, *text);
    const bool canonical = (*text)[first] != '0' || (text->size() == 1);
    if (canonical) return;
    *text = value == 0 ? "0" : (negative ? "-" : "") + std::to_string(value);
}

void checkReal(const std::string& text) {
    if (text.empty() || text[0] == ' ' || text[0] == '\t' || text[0] == '\n' || text[0] == '\r')
        throw TWYXException(kWyxTypeMismatch, text);
    for (char c : text)
        if (!((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.' || c == 'e' || c == 'E'))
            throw TWYXException(kWyxTypeMismatch, text);
    char* end = nullptr;
    std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size()) throw TWYXException(kWyxTypeMismatch, text);
}

}  // namespace

const char* CIMTypeName(TCIMType type) { return kTypeNames[type]; }

bool CIMTypeFromName(const std::string& name, TCIMType* type) {
    // Read for every property of a file: the lengths are compared first.
    static const std::string names[] = {kTypeNames[0], kTypeNames[1], kTypeNames[2],  kTypeNames[3], kTypeNames[4],
                                        kTypeNames[5], kTypeNames[6], kTypeNames[7],  kTypeNames[8], kTypeNames[9],
                                        kTypeNames[10], kTypeNames[11], kTypeNames[12], kTypeNames[13]};
    for (int i = 0; i <= kCIMReal64; ++i) {
        if (name == names[i]) {
            *type = static_cast<TCIMType>(i);
            return true;
        }
    }
    return false;
}

TCIMValue::TCIMValue() : type_(kCIMString) {}
TCIMValue::TCIMValue(std::string text) : type_(kCIMString), text_(std::move(text)) {}
TCIMValue::TCIMValue(const char* text) : type_(kCIMString), text_(text ? text : "") {}
TCIMValue::TCIMValue(uint16_t number) : type_(kCIMUInt16), text_(std::to_string(number)) {}
TCIMValue::TCIMValue(const TCIMDateTime& dateTime)
    : type_(kCIMDateTime), text_(dateTime.ToString()), dateTime_(new TCIMDateTime(dateTime)) {}
TCIMValue::TCIMValue(const TCIMValue& other)
    : type_(other.type_), text_(other.text_), dateTime_(other.dateTime_ ? new TCIMDateTime(*other.dateTime_) : nullptr) {}
TCIMValue::~TCIMValue() {}

TCIMValue& TCIMValue::operator=(const TCIMValue& other) {
    if (this != &other) *this = TCIMValue(other);
    return *this;
}

const TCIMDateTime& TCIMValue::GetDateTime() const {
    static const TCIMDateTime none;
    return dateTime_ ? *dateTime_ : none;
}

TCIMValue TCIMValue::FromText(TCIMType type, const std::string& text) { return FromText(type, std::string(text)); }

TCIMValue TCIMValue::FromText(TCIMType type, std::string&& taken) {
    TCIMValue value(std::move(taken));
    const std::string& text = value.text_;
    value.type_ = type;
    switch (type) {
    case kCIMString: break;
    case kCIMBoolean:
        if (text == "TRUE" || text == "True") value.text_ = "true";
        else if (text == "FALSE" || text == "False") value.text_ = "false";
        else if (text != "true" && text != "false") throw TWYXException(kWyxTypeMismatch, text);
        break;
    case kCIMChar16:
        if (text.size() != 1) throw TWYXException(kWyxTypeMismatch, text);
        break;
    case kCIMDateTime:
        try {
            value.dateTime_.reset(new TCIMDateTime(TCIMDateTime::FromString(text)));
        } catch (const TWYXException&) {
            throw TWYXException(kWyxTypeMismatch, text);
        }
        // Fixed-width fields: only a "-000" offset is not already canonical.
        if (text.compare(21, 4, "-000") == 0) value.text_ = value.dateTime_->ToString();
        break;
    case kCIMUInt8: canonicalInteger(&value.text_, false, 8); break;
    case kCIMSInt8: canonicalInteger(&value.text_, true, 8); break;
    case kCIMUInt16: canonicalInteger(&value.text_, false, 16); break;
    case kCIMSInt16: canonicalInteger(&value.text_, true, 16); break;
    case kCIMUInt32: canonicalInteger(&value.text_, false, 32); break;
    case kCIMSInt32: canonicalInteger(&value.text_, true, 32); break;
    case kCIMUInt64: canonicalInteger(&value.text_, false, 64); break;
    case kCIMSInt64: canonicalInteger(&value.text_, true, 64); break;
    case kCIMReal32:
    case kCIMReal64: checkReal(text); break;
    default: throw TWYXException(kWyxTypeMismatch, "unknown type");
    }
    return value;
}

bool TCIMValue::operator==(const TCIMValue& other) const {
    return type_ == other.type_ && text_ == other.text_;
}
