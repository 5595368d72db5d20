#include "cim_xml_reader.h"

#include <pugixml.hpp>

#include <cstring>
#include <map>
#include <memory>

#include "gzip_codec.h"
#include "wyxcore/container.h"
#include "wyxcore/exception.h"
#include "wyxcore/status.h"
#include "xml_text.h"

namespace cimxml {

namespace {

struct StagedClass {
    std::string name;
    const TCIMClass* existing = nullptr;   // the container's class of that name
    std::vector<TCIMPropertyDecl> decls;
    bool hasProvider = false;
    std::string provider;
    int pass = -1;
};

struct StagedInstance {
    StagedClass* staged;
    std::vector<std::pair<std::string, TCIMValue> > props;
};

[[noreturn]] void bad(int status, const std::string& detail) { throw TWYXException(status, detail); }

std::string decoded(const char* text, const char* what) {
    std::string bytes;
    if (!DecodeText(text, &bytes)) bad(kWyxFileNotXml, std::string("malformed UTF-8 in ") + what);
    return bytes;
}

std::string requiredAttribute(const pugi::xml_node& node, const char* name) {
    const pugi::xml_attribute attribute = node.attribute(name);
    if (!attribute) bad(kWyxFileNotCimXml, std::string(node.name()) + " without " + name);
    return decoded(attribute.value(), name);
}

// The text of a VALUE element; no element may stand inside it.
std::string valueText(const pugi::xml_node& value) {
    const pugi::xml_node only = value.first_child();
    if (!only) return std::string();
    if (!only.next_sibling() && (only.type() == pugi::node_pcdata || only.type() == pugi::node_cdata))
        return decoded(only.value(), "VALUE");
    std::string raw;
    for (pugi::xml_node child = value.first_child(); child; child = child.next_sibling()) {
        if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) raw += child.value();
        else if (child.type() == pugi::node_element) bad(kWyxFileNotCimXml, "element inside VALUE");
    }
    return decoded(raw.c_str(), "VALUE");
}

TCIMType typeOf(const pugi::xml_node& property) {
    const std::string name = requiredAttribute(property, "TYPE");
    TCIMType type;
    if (!CIMTypeFromName(name, &type)) bad(kWyxFileUnknownType, "'" + name + "'");
    return type;
}

class Reader {
public:
    explicit Reader(TContainer* container) : container_(container) {}

    void read(const pugi::xml_document& document) {
        const pugi::xml_node cim = document.document_element();
        if (std::strcmp(cim.name(), "CIM") != 0) bad(kWyxFileNotCimXml, "the root element is not CIM");
        const pugi::xml_node declaration = cim.child("DECLARATION");
        if (!declaration) bad(kWyxFileNotCimXml, "no DECLARATION");
        for (pugi::xml_node group = declaration.first_child(); group; group = group.next_sibling()) {
            if (group.type() != pugi::node_element) continue;
            const std::string name = group.name();
            if (name != "DECLGROUP" && name != "DECLGROUP.WITHNAME" && name != "DECLGROUP.WITHPATH")
                bad(kWyxFileNotCimXml, "unexpected " + name);
            readGroup(group);
        }
    }

    std::vector<std::string> apply() {
        std::vector<std::string> names;
        std::map<StagedClass*, TCIMClass*> made;
        for (const auto& staged : classes_) {
            const bool isNew = container_->FindClass(staged->name) == nullptr;
            TCIMClass* cimClass = container_->AddClass(staged->name);
            for (const TCIMPropertyDecl& decl : staged->decls) cimClass->DeclareProperty(decl.name, decl.type);
            if (isNew && staged->hasProvider) cimClass->SetProvider(staged->provider, staged->pass);
            made[staged.get()] = cimClass;
            names.push_back(staged->name);
        }
        for (StagedInstance& staged : instances_) {
            std::unique_ptr<TCIMInstance> instance(new TCIMInstance(made[staged.staged]));
            for (auto& prop : staged.props) instance->SetPropertyValue(std::move(prop.first), std::move(prop.second));
            std::vector<std::pair<std::string, TCIMValue> >().swap(staged.props);
            instance.release()->Commit();
        }
        instances_.clear();
        return names;
    }

private:
    void readGroup(const pugi::xml_node& group) {
        for (pugi::xml_node object = group.first_child(); object; object = object.next_sibling()) {
            if (object.type() != pugi::node_element) continue;
            const std::string name = object.name();
            if (name == "LOCALNAMESPACEPATH" || name == "NAMESPACEPATH" || name == "QUALIFIER.DECLARATION") continue;
            if (name != "VALUE.OBJECT" && name != "VALUE.NAMEDOBJECT" && name != "VALUE.OBJECTWITHPATH" &&
                name != "VALUE.OBJECTWITHLOCALPATH")
                bad(kWyxFileNotCimXml, "unexpected " + name);
            if (pugi::xml_node cimClass = object.child("CLASS")) readClass(cimClass);
            else if (pugi::xml_node instance = object.child("INSTANCE")) readInstance(instance);
            else bad(kWyxFileNotCimXml, name + " without CLASS or INSTANCE");
        }
    }

    StagedClass* stage(const std::string& name) {
        auto it = byName_.find(name);
        if (it != byName_.end()) return it->second;
        classes_.emplace_back(new StagedClass());
        classes_.back()->name = name;
        classes_.back()->existing = container_->FindClass(name);
        byName_[name] = classes_.back().get();
        return classes_.back().get();
    }

    // Declares the property unless the container's class or the file already
    // has it; a different type there makes the file bad.
    void declare(StagedClass* staged, const std::string& property, TCIMType type) {
        const TCIMPropertyDecl* known = nullptr;
        if (staged->existing) known = staged->existing->FindProperty(property);
        if (!known)
            for (const TCIMPropertyDecl& decl : staged->decls)
                if (decl.name == property) known = &decl;
        if (!known) {
            staged->decls.push_back(TCIMPropertyDecl{property, type});
            return;
        }
        if (known->type != type)
            bad(kWyxFileBadValue, staged->name + "." + property + " is " + CIMTypeName(type) + ", declared " +
                                      CIMTypeName(known->type));
    }

    void readClass(const pugi::xml_node& node) {
        StagedClass* staged = stage(requiredAttribute(node, "NAME"));
        for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
            if (child.type() != pugi::node_element) continue;
            const std::string kind = child.name();
            if (kind == "PROPERTY") {
                declare(staged, requiredAttribute(child, "NAME"), typeOf(child));
            } else if (kind == "QUALIFIER") {
                readQualifier(staged, child);
            } else if (kind == "PROPERTY.ARRAY" || kind == "PROPERTY.REFERENCE") {
                bad(kWyxFileUnknownType, kind + " " + requiredAttribute(child, "NAME") + " (not supported)");
            } else if (kind != "METHOD") {
                bad(kWyxFileNotCimXml, "unexpected " + kind + " in CLASS");
            }
        }
    }

    void readQualifier(StagedClass* staged, const pugi::xml_node& node) {
        const std::string name = requiredAttribute(node, "NAME");
        if (name != "Provider" && name != "ProviderPass") return;
        const pugi::xml_node value = node.child("VALUE");
        if (!value) bad(kWyxFileNotCimXml, "qualifier " + name + " without VALUE");
        const std::string text = valueText(value);
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

    void readInstance(const pugi::xml_node& node) {
        StagedInstance instance;
        instance.staged = stage(requiredAttribute(node, "CLASSNAME"));
        size_t children = 0;
        for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) ++children;
        instance.props.reserve(children);
        for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
            if (child.type() != pugi::node_element) continue;
            const std::string kind = child.name();
            if (kind == "QUALIFIER") continue;
            if (kind == "PROPERTY.ARRAY" || kind == "PROPERTY.REFERENCE")
                bad(kWyxFileUnknownType, kind + " " + requiredAttribute(child, "NAME") + " (not supported)");
            if (kind != "PROPERTY") bad(kWyxFileNotCimXml, "unexpected " + kind + " in INSTANCE");
            std::string name = requiredAttribute(child, "NAME");
            const TCIMType type = typeOf(child);
            declare(instance.staged, name, type);
            const pugi::xml_node value = child.child("VALUE");
            if (!value) continue;   // a null value: the property is not set
            std::string text = valueText(value);
            TCIMValue parsed;
            try {
                parsed = TCIMValue::FromText(type, std::move(text));
            } catch (const TWYXException&) {
                bad(kWyxFileBadValue, instance.staged->name + "." + name + " '" + valueText(value) + "' is not a " +
                                          CIMTypeName(type));
            }
            setProperty(&instance, std::move(name), std::move(parsed));
        }
        instances_.push_back(std::move(instance));
    }

    static void setProperty(StagedInstance* instance, std::string&& name, TCIMValue&& value) {
        for (auto& prop : instance->props) {
            if (prop.first == name) {
                prop.second = std::move(value);
                return;
            }
        }
        instance->props.emplace_back(std::move(name), std::move(value));
    }

    TContainer* container_;
    std::vector<std::unique_ptr<StagedClass> > classes_;
    std::map<std::string, StagedClass*> byName_;
    std::vector<StagedInstance> instances_;
};

bool startsLikeXml(const std::string& data) {
    size_t i = 0;
    if (data.compare(0, 3, "\xEF\xBB\xBF") == 0) i = 3;
    else if (data.compare(0, 2, "\xFF\xFE") == 0 || data.compare(0, 2, "\xFE\xFF") == 0) return true;
    while (i < data.size() && (data[i] == ' ' || data[i] == '\t' || data[i] == '\r' || data[i] == '\n')) ++i;
    return i < data.size() && data[i] == '<';
}

}  // namespace

std::vector<std::string> ReadInto(TContainer* container, std::string bytes) {
    Reader reader(container);
    {
        const bool compressed = gzipcodec::LooksCompressed(bytes);
        std::string xml;
        if (compressed) {
            xml = gzipcodec::Decompress(bytes);
            std::string().swap(bytes);
        } else {
            xml.swap(bytes);
        }
        if (!startsLikeXml(xml))
            bad(compressed ? kWyxFileNotXml : kWyxFileNotCompressedOrXml, "no XML markup at the start");
        pugi::xml_document document;
        // In place: the document's texts point into xml, which outlives it.
        const pugi::xml_parse_result parsed = document.load_buffer_inplace(
            &xml[0], xml.size(), pugi::parse_default | pugi::parse_ws_pcdata, pugi::encoding_auto);
        if (!parsed)
            bad(kWyxFileNotXml, std::string(parsed.description()) + " at offset " + std::to_string(parsed.offset));
        reader.read(document);
    }
    // The document is gone before the container grows.
    return reader.apply();
}

}  // namespace cimxml
