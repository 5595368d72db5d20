#include "wyxcore/container.h"

#include <new>
#include <utility>

#include "cim_xml_reader.h"
#include "file_io.h"
#include "schema_loader.h"
#include "wyxcore/exception.h"
#include "wyxcore/status.h"

namespace {

// A few declarations are searched faster than hashed; a wide class (from a file
// of another tool, say) must not make every look-up linear.
const size_t kLinearSearchLimit = 32;

}  // namespace

TCIMInstance::TCIMInstance(TCIMClass* cimClass) : class_(cimClass), committed_(false) {}
TCIMInstance::~TCIMInstance() {}

void TCIMInstance::SetPropertyValue(const std::string& name, const TCIMValue& value) {
    SetPropertyValue(std::string(name), TCIMValue(value));
}

void TCIMInstance::SetPropertyValue(std::string name, TCIMValue&& value) {
    const TCIMPropertyDecl* decl = class_->FindProperty(name);
    if (!decl) throw TWYXException(kWyxUnknownProperty, class_->GetName() + "." + name);
    if (decl->type != value.GetType() || decl->isArray != value.IsArray()) throw TWYXException(kWyxTypeMismatch, class_->GetName() + "." + name);
    for (auto& prop : props_) {
        if (prop.first == name) {
            prop.second = std::move(value);
            return;
        }
    }
    if (props_.empty()) props_.reserve(class_->GetPropertyDecls().size());
    props_.emplace_back(std::move(name), std::move(value));
}

void TCIMInstance::Commit() {
    if (committed_) return;
    committed_ = true;
    class_->AdoptInstance(this);
}

const TCIMValue* TCIMInstance::GetPropertyValue(const std::string& name) const {
    for (const auto& prop : props_)
        if (prop.first == name) return &prop.second;
    return nullptr;
}

TCIMClass::TCIMClass(TContainer* container, const std::string& name)
    : container_(container), name_(name), providerPass_(-1) {}
TCIMClass::~TCIMClass() {}

const TCIMPropertyDecl* TCIMClass::FindProperty(const std::string& name) const {
    if (decls_.size() > kLinearSearchLimit) {
        auto it = declIndex_.find(name);
        return it == declIndex_.end() ? nullptr : &decls_[it->second];
    }
    for (const auto& decl : decls_)
        if (decl.name == name) return &decl;
    return nullptr;
}

void TCIMClass::DeclareProperty(const std::string& name, TCIMType type) {
    DeclareProperty(TCIMPropertyDecl{name, type});
}

void TCIMClass::DeclareProperty(const TCIMPropertyDecl& decl) {
    if (const TCIMPropertyDecl* existing = FindProperty(decl.name)) {
        if (existing->type != decl.type || existing->isArray != decl.isArray)
            throw TWYXException(kWyxTypeMismatch, name_ + "." + decl.name);
        return;
    }
    declIndex_.emplace(decl.name, decls_.size());
    decls_.push_back(decl);
}

std::vector<TCIMInstance*> TCIMClass::EnumerateInstances(bool) const {
    std::vector<TCIMInstance*> result;
    result.reserve(instances_.size());
    for (const auto& instance : instances_) result.push_back(instance.get());
    return result;
}

void TCIMClass::AdoptInstance(TCIMInstance* instance) { instances_.emplace_back(instance); }

TContainer::TContainer() { schema::Load(this); }
TContainer::TContainer(EmptyTag) {}
TContainer::~TContainer() {}

std::vector<std::string> TContainer::PopulateContainerFromFile(const std::string& path) {
    try {
        fileio::InputFile file(path);
        return cimxml::ReadInto(this, &file);
    } catch (const std::bad_alloc&) {
        throw TWYXException(kWyxOutOfMemory, path);
    }
}

TCIMClass* TContainer::FindClass(const std::string& name) const {
    auto it = byName_.find(name);
    return it == byName_.end() ? nullptr : it->second;
}

TCIMClass* TContainer::AddClass(const std::string& name) {
    if (TCIMClass* existing = FindClass(name)) return existing;
    classes_.emplace_back(new TCIMClass(this, name));
    byName_[name] = classes_.back().get();
    return classes_.back().get();
}

std::vector<TCIMClass*> TContainer::GetClasses() const {
    std::vector<TCIMClass*> result;
    for (const auto& c : classes_) result.push_back(c.get());
    return result;
}
