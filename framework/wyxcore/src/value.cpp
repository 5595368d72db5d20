#include "wyxcore/value.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <utility>

#include <boost/algorithm/string/predicate.hpp>

#include "wyxcore/calendar.h"
#include "wyxcore/exception.h"
#include "wyxcore/status.h"

struct TCIMValue::Detail {
    std::vector<std::string> elements;
    std::string referenceXml;
};

namespace {

const char* const kTypeNames[] = {"string", "boolean", "char16", "datetime", "uint8",  "sint8",  "uint16",
                                  "sint16", "uint32",  "sint32", "uint64",   "sint64", "real32", "real64",
                                  "reference"};

[[noreturn]] void mismatch(const std::string& text, const char* form) {
    throw TWYXException(kWyxTypeMismatch, "'" + text + "': " + form);
}

unsigned digitValue(char c) {
    if (c >= '0' && c <= '9') return static_cast<unsigned>(c - '0');
    if (c >= 'a' && c <= 'f') return static_cast<unsigned>(c - 'a' + 10);
    if (c >= 'A' && c <= 'F') return static_cast<unsigned>(c - 'A' + 10);
    return 99;
}

// The integer forms of CIM-XML (decimal, "0x" hexadecimal, each with an optional
// sign) and MOF's binary form ("1010b"), kept in their shortest decimal form so
// that "007", "0x7" and "7" are the same value. Leading zeros are decimal: CIM-XML
// has no octal form.
void canonicalInteger(std::string* text, bool isSigned, unsigned bits) {
    const std::string& t = *text;
    // Most values are plain decimal without a sign or a leading zero, short
    // enough to hold no overflow: canonical when in range.
    if (!t.empty() && t.size() <= 19 && t[0] >= '1' && t[0] <= '9') {
        unsigned long long value = 0;
        size_t i = 0;
        for (; i < t.size() && t[i] >= '0' && t[i] <= '9'; ++i) value = value * 10 + static_cast<unsigned>(t[i] - '0');
        if (i == t.size()) {
            const unsigned long long max =
                bits == 64 ? (isSigned ? 9223372036854775807ull : ~0ull) : (1ull << (bits - (isSigned ? 1 : 0))) - 1;
            if (value > max) mismatch(t, "out of range for its type");
            return;
        }
    }
    size_t first = 0;
    const bool negative = !t.empty() && t[0] == '-';
    if (!t.empty() && (t[0] == '-' || t[0] == '+')) first = 1;
    // The common case, already canonical, is left as it is.
    bool plain = first == 0 || negative;
    if (first == t.size()) mismatch(t, "an integer without digits");
    if (negative && !isSigned) mismatch(t, "a negative number for an unsigned type");
    unsigned base = 10;
    size_t end = t.size();
    if (t.size() - first >= 2 && t[first] == '0' && (t[first + 1] == 'x' || t[first + 1] == 'X')) {
        base = 16;
        first += 2;
        if (first == end) mismatch(t, "a hexadecimal integer without digits");
    } else if (t.size() - first >= 2 && (t[end - 1] == 'b' || t[end - 1] == 'B')) {
        base = 2;
        --end;
    }
    if (base != 10 || (t[first] == '0' && end - first > 1)) plain = false;
    unsigned long long value = 0;
    for (size_t i = first; i < end; ++i) {
        const unsigned digit = digitValue(t[i]);
        if (digit >= base)
            mismatch(t, base == 16 ? "not a hexadecimal integer"
                                   : base == 2 ? "not a binary integer" : "not a decimal integer");
        if (value > (~0ull - digit) / base) mismatch(t, "out of range for its type");
        value = value * base + digit;
    }
    const unsigned long long maxMagnitude =
        bits == 64 ? (isSigned ? (negative ? 9223372036854775808ull : 9223372036854775807ull) : ~0ull)
                   : (isSigned ? (1ull << (bits - 1)) - (negative ? 0 : 1) : (1ull << bits) - 1);
    if (value > maxMagnitude) mismatch(t, "out of range for its type");
    if (plain && !(negative && value == 0)) return;
    *text = value == 0 ? "0" : (negative ? "-" : "") + std::to_string(value);
}

// Decimal reals with an optional exponent, and CIM-XML's special values.
void checkReal(const std::string& text, bool single) {
    if (text == "INF" || text == "-INF" || text == "NaN") return;
    if (text.empty()) mismatch(text, "an empty real");
    for (char c : text)
        if (!((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.' || c == 'e' || c == 'E'))
            mismatch(text, "not a decimal real");
    char* end = nullptr;
    errno = 0;
    const double value = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size()) mismatch(text, "not a decimal real");
    if ((errno == ERANGE && std::fabs(value) > 1.0) || (single && std::fabs(value) > 3.4028234663852886e38))
        mismatch(text, single ? "out of range for real32" : "out of range for real64");
}


// A field of a masked date-time: false when masked. Only the microseconds may be
// masked in part, from the right (a precision); any other field wholly or not at all.
bool maskedField(const std::string& text, size_t pos, size_t n, long* value) {
    size_t digits = 0, stars = 0;
    for (size_t i = pos; i < pos + n; ++i) {
        if (text[i] == '*') ++stars;
        else if (text[i] < '0' || text[i] > '9') mismatch(text, "a date-time field that is neither digits nor asterisks");
    }
    while (digits < n && text[pos + digits] != '*') ++digits;
    if (stars != 0 && stars != n && (n != 6 || digits + stars != n)) mismatch(text, "a date-time field masked in part");
    long v = 0;
    for (size_t i = 0; i < digits; ++i) v = v * 10 + (text[pos + i] - '0');
    *value = v;
    return stars == 0;
}

void checkRange(const std::string& text, bool known, long value, long low, long high) {
    if (known && (value < low || value > high)) mismatch(text, "a date-time field out of range");
}

// The DMTF forms with asterisks in place of fields that are not significant.
void checkMaskedDateTime(const std::string& text) {
    if (text.size() != 25 || text[14] != '.') mismatch(text, "not a DMTF date-time");
    long f[7];
    bool k[7];
    if (text[21] == ':') {
        if (text.compare(22, 3, "000") != 0) mismatch(text, "not a DMTF interval");
        maskedField(text, 0, 8, &f[0]);
        k[1] = maskedField(text, 8, 2, &f[1]);
        k[2] = maskedField(text, 10, 2, &f[2]);
        k[3] = maskedField(text, 12, 2, &f[3]);
        maskedField(text, 15, 6, &f[4]);
        checkRange(text, k[1], f[1], 0, 23);
        checkRange(text, k[2], f[2], 0, 59);
        checkRange(text, k[3], f[3], 0, 59);
        return;
    }
    if (text[21] != '+' && text[21] != '-') mismatch(text, "not a DMTF date-time");
    for (size_t i = 22; i < 25; ++i)
        if (text[i] < '0' || text[i] > '9') mismatch(text, "a masked UTC offset");
    const size_t at[] = {0, 4, 6, 8, 10, 12, 15};
    const size_t width[] = {4, 2, 2, 2, 2, 2, 6};
    for (int i = 0; i < 7; ++i) k[i] = maskedField(text, at[i], width[i], &f[i]);
    checkRange(text, k[1], f[1], 1, 12);
    static const int days[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool shortFebruary = f[1] == 2 && k[0] && !calendar::IsDate(static_cast<int>(f[0]), 2, 29);
    const long lastDay = !k[1] ? 31 : shortFebruary ? 28 : days[f[1] - 1];
    checkRange(text, k[2], f[2], 1, lastDay);
    checkRange(text, k[3], f[3], 0, 23);
    checkRange(text, k[4], f[4], 0, 59);
    checkRange(text, k[5], f[5], 0, 59);
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
    : type_(other.type_), isArray_(other.isArray_), text_(other.text_),
      dateTime_(other.dateTime_ ? new TCIMDateTime(*other.dateTime_) : nullptr),
      detail_(other.detail_ ? new Detail(*other.detail_) : nullptr) {}
TCIMValue::TCIMValue(TCIMValue&& other) noexcept = default;
TCIMValue& TCIMValue::operator=(TCIMValue&& other) noexcept = default;
TCIMValue::~TCIMValue() {}

TCIMValue& TCIMValue::operator=(const TCIMValue& other) {
    if (this != &other) *this = TCIMValue(other);
    return *this;
}

const TCIMDateTime& TCIMValue::GetDateTime() const {
    static const TCIMDateTime none;
    return dateTime_ ? *dateTime_ : none;
}

const std::vector<std::string>& TCIMValue::GetElements() const {
    static const std::vector<std::string> none;
    return detail_ ? detail_->elements : none;
}

const std::string& TCIMValue::GetReferenceXml() const {
    static const std::string none;
    return detail_ ? detail_->referenceXml : none;
}

TCIMValue TCIMValue::FromText(TCIMType type, const std::string& text) { return FromText(type, std::string(text)); }

TCIMValue TCIMValue::FromText(TCIMType type, std::string&& taken) {
    TCIMValue value(std::move(taken));
    const std::string& text = value.text_;
    value.type_ = type;
    switch (type) {
    case kCIMString: break;
    case kCIMBoolean:
        if (boost::algorithm::iequals(text, "true")) value.text_ = "true";
        else if (boost::algorithm::iequals(text, "false")) value.text_ = "false";
        else mismatch(text, "not a boolean");
        break;
    case kCIMChar16:
        if (text.size() != 1) mismatch(text, "not one character");
        break;
    case kCIMDateTime:
        if (text.find('*') != std::string::npos) {
            checkMaskedDateTime(text);
        } else {
            try {
                value.dateTime_.reset(new TCIMDateTime(TCIMDateTime::FromString(text)));
            } catch (const TWYXException&) {
                checkMaskedDateTime(text);   // names what is wrong
                mismatch(text, "not a valid date-time");
            }
        }
        // Fixed-width fields: only a "-000" offset is not already canonical.
        if (text.compare(21, 4, "-000") == 0) value.text_[21] = '+';
        break;
    case kCIMUInt8: canonicalInteger(&value.text_, false, 8); break;
    case kCIMSInt8: canonicalInteger(&value.text_, true, 8); break;
    case kCIMUInt16: canonicalInteger(&value.text_, false, 16); break;
    case kCIMSInt16: canonicalInteger(&value.text_, true, 16); break;
    case kCIMUInt32: canonicalInteger(&value.text_, false, 32); break;
    case kCIMSInt32: canonicalInteger(&value.text_, true, 32); break;
    case kCIMUInt64: canonicalInteger(&value.text_, false, 64); break;
    case kCIMSInt64: canonicalInteger(&value.text_, true, 64); break;
    case kCIMReal32: checkReal(text, true); break;
    case kCIMReal64: checkReal(text, false); break;
    default: throw TWYXException(kWyxTypeMismatch, "a reference is not read from text");
    }
    return value;
}

TCIMValue TCIMValue::Array(TCIMType type, std::vector<std::string> elements) {
    for (size_t i = 0; i < elements.size(); ++i) {
        if (type == kCIMString) break;
        try {
            elements[i] = FromText(type, std::move(elements[i])).text_;
        } catch (const TWYXException& e) {
            throw TWYXException(kWyxTypeMismatch, "element " + std::to_string(i) + " " + e.GetDetail());
        }
    }
    TCIMValue value;
    value.type_ = type;
    value.isArray_ = true;
    value.detail_.reset(new Detail());
    value.detail_->elements = std::move(elements);
    return value;
}

TCIMValue TCIMValue::Reference(std::string path, std::string xml) {
    TCIMValue value(std::move(path));
    value.type_ = kCIMReference;
    value.detail_.reset(new Detail());
    value.detail_->referenceXml = std::move(xml);
    return value;
}

bool TCIMValue::operator==(const TCIMValue& other) const {
    return type_ == other.type_ && isArray_ == other.isArray_ && text_ == other.text_ &&
           GetElements() == other.GetElements() && GetReferenceXml() == other.GetReferenceXml();
}
