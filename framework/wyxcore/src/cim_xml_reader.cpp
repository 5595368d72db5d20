#include "cim_xml_reader.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <tuple>
#include <unordered_map>
#include <utility>

#include "cim_xml_document.h"
#include "cim_xml_reference.h"
#include "piece_pipe.h"
#include "wyxcore/container.h"
#include "wyxcore/exception.h"
#include "wyxcore/status.h"
#include "xml_pull_parser.h"

namespace cimxml {

// The reader's way past the per-property checks, for what it has checked itself.
class CheckedInstanceFill {
public:
    static void Fill(TCIMInstance* instance, std::vector<std::pair<std::string, TCIMValue> >&& props) {
        instance->TakeCheckedProperties(std::move(props));
    }
};

namespace {

typedef std::vector<std::pair<std::string, TCIMValue> > Properties;

struct StagedClass {
    std::string name;
    bool exists = false;                  // the container has a class of that name
    std::vector<TCIMPropertyDecl> known;  // the container's declarations, then the file's
    std::unordered_map<std::string, size_t> index;   // into known
    size_t fromFile = 0;                  // where the file's own declarations start in known
    size_t cursor = 0;                    // where the next property is looked for first
    size_t typicalCount = 0;              // properties of the class's instances so far
    // For each declaration: the instance (by serial number) that set it last, and where.
    std::vector<size_t> setBy;
    std::vector<size_t> setAt;
    bool hasProvider = false;
    std::string provider;
    int pass = -1;
};

struct StagedInstance {
    StagedClass* staged;
    Properties props;
};

// Element and attribute names, compared often.
const std::string kCim = "CIM";
const std::string kDeclaration = "DECLARATION";
const std::string kDeclGroup = "DECLGROUP";
const std::string kDeclGroupWithName = "DECLGROUP.WITHNAME";
const std::string kDeclGroupWithPath = "DECLGROUP.WITHPATH";
const std::string kValueObject = "VALUE.OBJECT";
const std::string kValueNamedObject = "VALUE.NAMEDOBJECT";
const std::string kValueObjectWithPath = "VALUE.OBJECTWITHPATH";
const std::string kValueObjectWithLocalPath = "VALUE.OBJECTWITHLOCALPATH";
const std::string kLocalNamespacePath = "LOCALNAMESPACEPATH";
const std::string kNamespacePath = "NAMESPACEPATH";
const std::string kQualifierDeclaration = "QUALIFIER.DECLARATION";
const std::string kClass = "CLASS";
const std::string kInstance = "INSTANCE";
const std::string kProperty = "PROPERTY";
const std::string kPropertyArray = "PROPERTY.ARRAY";
const std::string kPropertyReference = "PROPERTY.REFERENCE";
const std::string kQualifier = "QUALIFIER";
const std::string kMethod = "METHOD";
const std::string kValue = "VALUE";
const std::string kValueArray = "VALUE.ARRAY";
const std::string kValueReference = "VALUE.REFERENCE";
const std::string kReferenceClassAttribute = "REFERENCECLASS";
const std::string kNameAttribute = "NAME";
const std::string kTypeAttribute = "TYPE";
const std::string kClassNameAttribute = "CLASSNAME";

[[noreturn]] void bad(int status, const std::string& detail) { throw TWYXException(status, detail); }

bool isObject(const std::string& name) {
    return name == kValueObject || name == kValueNamedObject || name == kValueObjectWithPath ||
           name == kValueObjectWithLocalPath;
}

class Reader {
public:
    Reader(TContainer* container, XmlPullParser* parser) : container_(container), xml_(parser) {}

    // The whole document, to its end.
    void read() {
        xml_->Next();
        if (xml_->Name() != kCim) bad(kWyxFileNotCimXml, "the root element is not CIM");
        bool declared = false;
        while (nextChild()) {
            if (xml_->Name() != kDeclaration) {
                xml_->SkipElement();
                continue;
            }
            // Refused, not skipped: skipping would drop its data unseen.
            if (declared) bad(kWyxFileNotCimXml, "a second DECLARATION");
            declared = true;
            while (nextChild()) {
                const std::string& name = xml_->Name();
                if (name != kDeclGroup && name != kDeclGroupWithName && name != kDeclGroupWithPath)
                    bad(kWyxFileNotCimXml, "unexpected " + name);
                readGroup();
            }
        }
        if (!declared) bad(kWyxFileNotCimXml, "no DECLARATION");
        xml_->Next();
    }

    std::vector<std::string> apply() {
        std::vector<std::string> names;
        std::map<StagedClass*, TCIMClass*> made;
        for (const auto& staged : classes_) {
            TCIMClass* cimClass = container_->AddClass(staged->name);
            for (size_t i = staged->fromFile; i < staged->known.size(); ++i)
                cimClass->DeclareProperty(staged->known[i]);
            if (!staged->exists && staged->hasProvider) cimClass->SetProvider(staged->provider, staged->pass);
            made[staged.get()] = cimClass;
            names.push_back(staged->name);
        }
        for (StagedInstance& staged : instances_) {
            std::unique_ptr<TCIMInstance> instance(new TCIMInstance(made[staged.staged]));
            CheckedInstanceFill::Fill(instance.get(), std::move(staged.props));
            instance.release()->Commit();
        }
        std::vector<StagedInstance>().swap(instances_);
        return names;
    }

private:
    // The next child element of the open one; false at its end. Text between is ignored.
    bool nextChild() {
        for (;;) {
            switch (xml_->Next()) {
            case XmlPullParser::kStartElement: return true;
            case XmlPullParser::kText: continue;
            default: return false;
            }
        }
    }

    void requiredAttribute(const std::string& name, std::string* value) const {
        if (!xml_->Attribute(name, value)) bad(kWyxFileNotCimXml, xml_->Name() + " without " + name);
    }

    std::string requiredAttribute(const std::string& name) const {
        std::string value;
        requiredAttribute(name, &value);
        return value;
    }

    TCIMType typeAttribute() const {
        const std::string name = requiredAttribute(kTypeAttribute);
        TCIMType type;
        if (!CIMTypeFromName(name, &type)) bad(kWyxFileUnknownType, "'" + name + "'");
        return type;
    }

    // The text of the VALUE element just opened; no element may stand inside it.
    void valueText(std::string* text) {
        text->clear();
        for (;;) {
            switch (xml_->Next()) {
            case XmlPullParser::kText: xml_->AppendText(text); break;
            case XmlPullParser::kStartElement: bad(kWyxFileNotCimXml, "element inside VALUE");
            default: return;
            }
        }
    }

    // The text of the VALUE among the children of the open element (owner);
    // false without one.
    bool firstValue(std::string* text, const std::string& owner) {
        bool found = false;
        while (nextChild()) {
            if (!xml_->NameIs(kValue)) {
                xml_->SkipElement();
                continue;
            }
            if (found) bad(kWyxFileNotCimXml, "a second VALUE in " + owner);
            valueText(text);
            found = true;
        }
        return found;
    }

    void readGroup() {
        while (nextChild()) {
            const std::string& name = xml_->Name();
            if (name == kLocalNamespacePath || name == kNamespacePath || name == kQualifierDeclaration) {
                xml_->SkipElement();
                continue;
            }
            if (!isObject(name)) bad(kWyxFileNotCimXml, "unexpected " + name);
            const std::string object = name;
            bool found = false;
            while (nextChild()) {
                const bool isClass = xml_->NameIs(kClass);
                if (!isClass && !xml_->NameIs(kInstance)) {
                    xml_->SkipElement();
                    continue;
                }
                if (found) bad(kWyxFileNotCimXml, object + " with more than one CLASS or INSTANCE");
                if (isClass) readClass();
                else readInstance();
                found = true;
            }
            if (!found) bad(kWyxFileNotCimXml, object + " without CLASS or INSTANCE");
        }
    }

    StagedClass* stage(const std::string& name) {
        auto it = byName_.find(name);
        if (it != byName_.end()) return it->second;
        classes_.emplace_back(new StagedClass());
        StagedClass* staged = classes_.back().get();
        staged->name = name;
        if (const TCIMClass* existing = container_->FindClass(name)) {
            staged->exists = true;
            for (const TCIMPropertyDecl& decl : existing->GetPropertyDecls()) addKnown(staged, decl);
        }
        staged->fromFile = staged->known.size();
        byName_[name] = staged;
        return staged;
    }

    static size_t addKnown(StagedClass* staged, const TCIMPropertyDecl& decl) {
        staged->index.emplace(decl.name, staged->known.size());
        staged->known.push_back(decl);
        staged->setBy.push_back(0);
        staged->setAt.push_back(0);
        return staged->known.size() - 1;
    }

    // Whether the property element just opened is the plain PROPERTY that
    // declares what the class has where the next property is looked for first,
    // its NAME and TYPE written as they read: what declare would find there,
    // without decoding and looking up.
    bool isExpected(const StagedClass& staged) const {
        if (staged.cursor >= staged.known.size() || !xml_->NameIs(kProperty)) return false;
        const TCIMPropertyDecl& next = staged.known[staged.cursor];
        if (next.isArray || next.type == kCIMReference) return false;
        return xml_->AttributeIs(kNameAttribute, next.name.data(), next.name.size()) &&
               xml_->AttributeIs(kTypeAttribute, CIMTypeName(next.type), typeNameSize(next.type));
    }

    static size_t typeNameSize(TCIMType type) {
        static const struct Sizes {
            size_t of[kCIMReference + 1];
            Sizes() {
                for (int t = 0; t <= kCIMReference; ++t) of[t] = std::strlen(CIMTypeName(static_cast<TCIMType>(t)));
            }
        } sizes;
        return sizes.of[type];
    }

    // Declares the property unless the container's class or the file already
    // has it; a different type there makes the file bad. Returns its place in
    // known. Instances mostly list their properties in the same order, so the
    // place after the last one is tried first.
    size_t declare(StagedClass* staged, const TCIMPropertyDecl& decl) {
        std::vector<TCIMPropertyDecl>& known = staged->known;
        size_t at = staged->cursor;
        if (at >= known.size() || !SameText(known[at].name, decl.name)) {
            auto it = staged->index.find(decl.name);
            at = it == staged->index.end() ? addKnown(staged, decl) : it->second;
        }
        if (known[at].type != decl.type || known[at].isArray != decl.isArray)
            bad(kWyxFileBadValue, staged->name + "." + decl.name + " is " + typeText(decl) + ", declared " +
                                      typeText(known[at]));
        staged->cursor = at + 1;
        return at;
    }

    static std::string typeText(const TCIMPropertyDecl& decl) {
        return std::string(CIMTypeName(decl.type)) + (decl.isArray ? "[]" : "");
    }

    // The declaration that a PROPERTY, PROPERTY.ARRAY or PROPERTY.REFERENCE
    // element makes; false for another element.
    bool propertyDecl(TCIMPropertyDecl* decl) const {
        const bool scalar = xml_->NameIs(kProperty);
        const bool array = !scalar && xml_->NameIs(kPropertyArray);
        const bool reference = !scalar && !array && xml_->NameIs(kPropertyReference);
        if (!scalar && !array && !reference) return false;
        requiredAttribute(kNameAttribute, &decl->name);
        decl->isArray = array;
        decl->referenceClass.clear();
        if (reference) {
            decl->type = kCIMReference;
            xml_->Attribute(kReferenceClassAttribute, &decl->referenceClass);
        } else {
            decl->type = typeAttribute();
        }
        return true;
    }

    void readClass() {
        StagedClass* staged = stage(requiredAttribute(kNameAttribute));
        TCIMPropertyDecl decl;
        while (nextChild()) {
            const std::string& kind = xml_->Name();
            if (propertyDecl(&decl)) {
                declare(staged, decl);
                xml_->SkipElement();
            } else if (kind == kQualifier) {
                readQualifier(staged);
            } else if (kind == kMethod) {
                xml_->SkipElement();
            } else {
                bad(kWyxFileNotCimXml, "unexpected " + kind + " in CLASS");
            }
        }
    }

    void readQualifier(StagedClass* staged) {
        const std::string name = requiredAttribute(kNameAttribute);
        if (name != "Provider" && name != "ProviderPass") {
            xml_->SkipElement();
            return;
        }
        std::string text;
        if (!firstValue(&text, kQualifier)) bad(kWyxFileNotCimXml, "qualifier " + name + " without VALUE");
        if (name == "Provider") {
            staged->hasProvider = true;
            staged->provider = text;
            return;
        }
        try {
            staged->pass = std::stoi(TCIMValue::FromText(kCIMUInt16, text).GetText());
        } catch (const TWYXException&) {
            bad(kWyxFileBadValue, staged->name + " ProviderPass '" + text + "'");
        }
    }

    // The value inside the property element just opened, read to its end; false,
    // and value untouched, for a null value.
    bool propertyValue(const std::string& className, const TCIMPropertyDecl& decl, TCIMValue* value) {
        if (decl.type == kCIMReference) {
            bool found = false;
            while (nextChild()) {
                if (xml_->Name() != kValueReference) {
                    xml_->SkipElement();
                    continue;
                }
                if (found) bad(kWyxFileNotCimXml, "a second VALUE.REFERENCE in PROPERTY.REFERENCE");
                *value = ReadReference(xml_);
                found = true;
            }
            return found;
        }
        if (decl.isArray) {
            bool found = false;
            while (nextChild()) {
                if (xml_->Name() != kValueArray) {
                    xml_->SkipElement();
                    continue;
                }
                if (found) bad(kWyxFileNotCimXml, "a second VALUE.ARRAY in PROPERTY.ARRAY");
                found = true;
                std::vector<std::string> elements;
                while (nextChild()) {
                    if (xml_->Name() != kValue) bad(kWyxFileNotCimXml, "unexpected " + xml_->Name() + " in VALUE.ARRAY");
                    elements.emplace_back();
                    valueText(&elements.back());
                }
                try {
                    *value = TCIMValue::Array(decl.type, std::move(elements));
                } catch (const TWYXException& e) {
                    bad(kWyxFileBadValue, className + "." + decl.name + " is not a " + typeText(decl) + ": " + e.GetDetail());
                }
            }
            return found;
        }
        if (!firstValue(&text_, kProperty)) return false;
        if (decl.type == kCIMString) {
            *value = TCIMValue(std::move(text_));
            return true;
        }
        try {
            *value = TCIMValue::FromText(decl.type, std::move(text_));
        } catch (const TWYXException& e) {
            bad(kWyxFileBadValue, className + "." + decl.name + " is not a " + typeText(decl) + ": " + e.GetDetail());
        }
        return true;
    }

    void readInstance() {
        StagedInstance instance;
        instance.staged = stage(requiredAttribute(kClassNameAttribute));
        instance.staged->cursor = 0;
        const size_t serial = ++instanceSerial_;
        instance.props.reserve(instance.staged->typicalCount);
        while (nextChild()) {
            const std::string& kind = xml_->Name();
            if (xml_->NameIs(kQualifier)) {
                xml_->SkipElement();
                continue;
            }
            StagedClass* staged = instance.staged;
            size_t at = staged->cursor;
            if (isExpected(*staged)) {
                ++staged->cursor;
            } else {
                if (!propertyDecl(&decl_)) bad(kWyxFileNotCimXml, "unexpected " + kind + " in INSTANCE");
                at = declare(staged, decl_);
            }
            // Declared alike, so the value is read as the class declares it,
            // into its place. A property given twice keeps its place and the
            // later value; a null value sets nothing (propertyValue leaves
            // the place as it was).
            const TCIMPropertyDecl& decl = staged->known[at];
            if (staged->setBy[at] == serial) {
                propertyValue(staged->name, decl, &instance.props[staged->setAt[at]].second);
                continue;
            }
            instance.props.emplace_back(std::piecewise_construct, std::forward_as_tuple(decl.name),
                                        std::forward_as_tuple());
            if (!propertyValue(staged->name, decl, &instance.props.back().second)) {
                instance.props.pop_back();
                continue;
            }
            staged->setBy[at] = serial;
            staged->setAt[at] = instance.props.size() - 1;
        }
        instance.staged->typicalCount = std::max(instance.staged->typicalCount, instance.props.size());
        instances_.push_back(std::move(instance));
    }

    TContainer* container_;
    XmlPullParser* xml_;
    std::string text_;
    TCIMPropertyDecl decl_;   // the property being read, kept for its strings' room
    size_t instanceSerial_ = 0;
    std::vector<std::unique_ptr<StagedClass> > classes_;
    std::map<std::string, StagedClass*> byName_;
    std::vector<StagedInstance> instances_;
};

}  // namespace

std::vector<std::string> ReadInto(TContainer* container, ByteSource* file) {
    CimXmlDocument document(file);
    ReadAhead ahead(&document);
    try {
        XmlPullParser parser(&ahead);
        Reader reader(container, &parser);
        try {
            reader.read();
        } catch (const TWYXException& e) {
            if (e.GetStatus() == kWyxFileNotXml) throw;   // the parser names the line itself
            throw TWYXException(e.GetStatus(), e.GetDetail() + " (line " + std::to_string(parser.Line()) + ")");
        }
        return reader.apply();
    } catch (const TWYXException& e) {
        // A damaged compressed stream is the fault to report, whatever it made
        // the document look like; not worth inflating the rest of a file that
        // is refused for its size.
        if (e.GetStatus() != kWyxFileTooLarge && e.GetStatus() != kWyxFileTooDeep) {
            ahead.StopAndRethrow();
            document.ThrowStreamFault();
        }
        throw;
    }
}

std::vector<std::string> ReadInto(TContainer* container, const std::string& bytes) {
    StringSource source(bytes);
    return ReadInto(container, &source);
}

}  // namespace cimxml
