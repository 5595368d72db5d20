#include "wyxcore/cim_xml.h"

#include "file_io.h"
#include "gzip_codec.h"
#include "wyxcore/container.h"
#include "xml_text.h"

namespace {

void appendValue(const std::string& text, std::string* out) {
    *out += "<VALUE>";
    *out += cimxml::EscapeText(text, false);
    *out += "</VALUE>";
}

void appendClass(const TCIMClass& cimClass, std::string* out) {
    *out += "<VALUE.OBJECT>\n<CLASS NAME=\"" + cimxml::EscapeText(cimClass.GetName(), true) + "\">\n";
    if (!cimClass.GetProvider().empty()) {
        *out += "<QUALIFIER NAME=\"Provider\" TYPE=\"string\">";
        appendValue(cimClass.GetProvider(), out);
        *out += "</QUALIFIER>\n";
        if (cimClass.GetProviderPass() >= 0) {
            *out += "<QUALIFIER NAME=\"ProviderPass\" TYPE=\"uint16\">";
            appendValue(std::to_string(cimClass.GetProviderPass()), out);
            *out += "</QUALIFIER>\n";
        }
    }
    for (const TCIMPropertyDecl& decl : cimClass.GetPropertyDecls())
        *out += "<PROPERTY NAME=\"" + cimxml::EscapeText(decl.name, true) + "\" TYPE=\"" + CIMTypeName(decl.type) +
                "\"/>\n";
    *out += "</CLASS>\n</VALUE.OBJECT>\n";
}

void appendInstance(const TCIMInstance& instance, std::string* out) {
    *out += "<VALUE.OBJECT>\n<INSTANCE CLASSNAME=\"" + cimxml::EscapeText(instance.GetClass()->GetName(), true) +
            "\">\n";
    for (const auto& prop : instance.GetProperties()) {
        *out += "<PROPERTY NAME=\"" + cimxml::EscapeText(prop.first, true) + "\" TYPE=\"" +
                CIMTypeName(prop.second.GetType()) + "\">";
        appendValue(prop.second.GetText(), out);
        *out += "</PROPERTY>\n";
    }
    *out += "</INSTANCE>\n</VALUE.OBJECT>\n";
}

}  // namespace

std::string TCIMXMLFile::Render(const TContainer* container) {
    std::string out =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<CIM CIMVERSION=\"2.0\" DTDVERSION=\"2.2\">\n<DECLARATION>\n<DECLGROUP>\n";
    const std::vector<TCIMClass*> classes = container->GetClasses();
    for (const TCIMClass* cimClass : classes) appendClass(*cimClass, &out);
    for (const TCIMClass* cimClass : classes)
        for (const TCIMInstance* instance : cimClass->EnumerateInstances(true)) appendInstance(*instance, &out);
    out += "</DECLGROUP>\n</DECLARATION>\n</CIM>\n";
    return out;
}

void TCIMXMLFile::Write(const TContainer* container, const std::string& path) {
    fileio::WriteAtomically(path, gzipcodec::Compress(Render(container)));
}
