#include "value_display.h"

#include "wyxcore/container.h"

namespace {
std::string displayScalar(TCIMType type, const std::string& text) {
    if (type != kCIMDateTime) return text;
    const TCIMValue value = TCIMValue::FromText(type, text);
    return value.FindDateTime() ? value.FindDateTime()->ToUIString() : text;
}
}  // namespace

std::string DisplayValue(const TCIMValue& value) {
    if (value.IsArray()) {
        std::string text = "{";
        for (const std::string& element : value.GetElements())
            text += (text.size() > 1 ? ", " : "") + displayScalar(value.GetType(), element);
        return text + "}";
    }
    if (const TCIMDateTime* dateTime = value.FindDateTime()) return dateTime->ToUIString();
    return value.GetText();
}

std::string PropertyText(const TCIMInstance& instance, const std::string& name) {
    const TCIMValue* value = instance.GetPropertyValue(name);
    return value ? DisplayValue(*value) : std::string();
}
