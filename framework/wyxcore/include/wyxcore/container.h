#ifndef WYXCORE_CONTAINER_H
#define WYXCORE_CONTAINER_H

#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "wyxcore/export.h"
#include "wyxcore/value.h"

class TCIMClass;
class TContainer;
namespace query_deadline {
class StagedInstanceMove;
}
namespace cimxml {
class CheckedInstanceFill;
}

struct WYX_API TCIMPropertyDecl {
    TCIMPropertyDecl() : type(kCIMString), isArray(false) {}
    TCIMPropertyDecl(std::string name, TCIMType type, bool isArray = false, std::string referenceClass = std::string())
        : name(std::move(name)), type(type), isArray(isArray), referenceClass(std::move(referenceClass)) {}
    std::string name;
    TCIMType type;
    bool isArray;
    std::string referenceClass;   // of a reference, when the file names one
};

// One instance. Made on the heap for its class; properties keep the order in
// which they were first set. After Commit the class owns it.
class WYX_API TCIMInstance {
public:
    explicit TCIMInstance(TCIMClass* cimClass);
    virtual ~TCIMInstance();
    // Throws TWYXException: kWyxUnknownProperty for a property the class does not
    // declare, kWyxTypeMismatch for a value of another type.
    virtual void SetPropertyValue(const std::string& name, const TCIMValue& value);
    // The same, taking the value (and the name) over.
    void SetPropertyValue(std::string name, TCIMValue&& value);
    // The finishing operation: hands the instance to its class.
    virtual void Commit();

    TCIMClass* GetClass() const { return class_; }
    bool IsCommitted() const { return committed_; }
    // Null when the property has not been set.
    const TCIMValue* GetPropertyValue(const std::string& name) const;
    const std::vector<std::pair<std::string, TCIMValue> >& GetProperties() const { return props_; }

private:
    TCIMInstance(const TCIMInstance&);
    TCIMInstance& operator=(const TCIMInstance&);
    // All properties at once, replacing any set before, without the checks of
    // SetPropertyValue: only for the file reader, which has checked every name
    // and type against the class and holds no name twice. Not for plug-ins,
    // which must not get round the schema.
    friend class cimxml::CheckedInstanceFill;
    void TakeCheckedProperties(std::vector<std::pair<std::string, TCIMValue> >&& props) { props_ = std::move(props); }
    // Hands every property over and leaves the instance without any: only for
    // moving a bounded query's instances into a class declared alike.
    friend class query_deadline::StagedInstanceMove;
    std::vector<std::pair<std::string, TCIMValue> > ReleaseProperties() { return std::move(props_); }
    TCIMClass* class_;
    bool committed_;
    std::vector<std::pair<std::string, TCIMValue> > props_;
};

// A class: its declared properties in declaration order and its instances.
class WYX_API TCIMClass {
public:
    TCIMClass(TContainer* container, const std::string& name);
    virtual ~TCIMClass();

    const std::string& GetName() const { return name_; }
    TContainer* GetContainer() const { return container_; }
    const std::vector<TCIMPropertyDecl>& GetPropertyDecls() const { return decls_; }
    // Null when not declared.
    const TCIMPropertyDecl* FindProperty(const std::string& name) const;
    // Adds a property; an existing one of the same type is kept, one of another
    // type (or array-ness) throws TWYXException (kWyxTypeMismatch).
    void DeclareProperty(const std::string& name, TCIMType type);
    void DeclareProperty(const TCIMPropertyDecl& decl);

    // The committed instances in commit order. The flag is accepted for the
    // framework's callers and has no effect here.
    std::vector<TCIMInstance*> EnumerateInstances(bool deep) const;
    size_t GetInstanceCount() const { return instances_.size(); }
    // Takes ownership (TCIMInstance::Commit calls it).
    void AdoptInstance(TCIMInstance* instance);

    // Provider registration: the selection name of the plug-in that collects the
    // class and the pass it is collected in (-1: only when asked for by name).
    const std::string& GetProvider() const { return provider_; }
    int GetProviderPass() const { return providerPass_; }
    void SetProvider(const std::string& plugin, int pass) { provider_ = plugin; providerPass_ = pass; }

private:
    TCIMClass(const TCIMClass&);
    TCIMClass& operator=(const TCIMClass&);
    TContainer* container_;
    std::string name_;
    std::vector<TCIMPropertyDecl> decls_;
    std::unordered_map<std::string, size_t> declIndex_;   // into decls_, for wide classes
    std::vector<std::unique_ptr<TCIMInstance> > instances_;
    std::string provider_;
    int providerPass_;
};

// The CIM container. A new one holds the framework's schema (the class files in
// the schema directory) and no instances.
class WYX_API TContainer {
public:
    enum EmptyTag { kEmpty };
    TContainer();
    // A container without the schema.
    explicit TContainer(EmptyTag);
    virtual ~TContainer();

    // Reads a CIM-XML file, gzip-compressed or plain, and adds its classes and
    // instances; returns the names of the classes it read. A class the container
    // has gains the file's extra properties. Throws TWYXException:
    // kWyxFileNotFound, kWyxAccessDenied, kWyxReadFailed, or a kWyxFile* status
    // for a bad file; the container is then left as it was before the call.
    std::vector<std::string> PopulateContainerFromFile(const std::string& path);

    // Null when the container has no such class.
    TCIMClass* FindClass(const std::string& name) const;
    // Adds a class, or returns the existing one of that name.
    TCIMClass* AddClass(const std::string& name);
    // Classes in the order in which they were added.
    std::vector<TCIMClass*> GetClasses() const;

private:
    TContainer(const TContainer&);
    TContainer& operator=(const TContainer&);
    std::vector<std::unique_ptr<TCIMClass> > classes_;
    std::map<std::string, TCIMClass*> byName_;
};

#endif
