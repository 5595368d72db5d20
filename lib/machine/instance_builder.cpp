#include "instance_builder.h"

#include "wyxcore/exception.h"
#include "wyxcore/status.h"

InstanceBuilder::InstanceBuilder(TContainer& container, const char* className) {
    TCIMClass* cimClass = container.FindClass(className);
    if (!cimClass) throw TWYXException(kWyxUnknownClass, className);
    instance_ = std::make_unique<TCIMInstance>(cimClass);
    instance_->SetPropertyValue("CreationClassName", TCIMValue(className));
}

InstanceBuilder& InstanceBuilder::Text(const char* name, const std::string& value) {
    if (!value.empty()) instance_->SetPropertyValue(name, TCIMValue(value));
    return *this;
}

InstanceBuilder& InstanceBuilder::Number(const char* name, uint64_t value, bool known) {
    if (!known) return *this;
    const TCIMPropertyDecl* decl = instance_->GetClass()->FindProperty(name);
    if (!decl) throw TWYXException(kWyxUnknownProperty, name);
    instance_->SetPropertyValue(name, TCIMValue::FromText(decl->type, std::to_string(value)));
    return *this;
}

InstanceBuilder& InstanceBuilder::Value(const char* name, const TCIMValue& value) {
    instance_->SetPropertyValue(name, value);
    return *this;
}

void InstanceBuilder::Commit() { instance_.release()->Commit(); }
