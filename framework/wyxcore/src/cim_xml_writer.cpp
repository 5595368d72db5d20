#include "wyxcore/cim_xml.h"

#include <atomic>

#include "gzip_codec.h"
#include "piece_pipe.h"
#include "wyxcore/container.h"
#include "wyxcore/output_file.h"
#include "wyxcore/progress.h"
#include "xml_text.h"

namespace {

// Write hands the document to the compressor in pieces of about this size, so
// neither the whole document nor its compressed form is ever held.
const size_t kPieceSize = 256 * 1024;

// Appends a literal without measuring it each time.
template <size_t N>
void put(std::string* out, const char (&literal)[N]) {
    out->append(literal, N - 1);
}

void appendValue(const std::string& text, std::string* out) {
    put(out, "<VALUE>");
    cimxml::AppendEscaped(text, false, out);
    put(out, "</VALUE>");
}

// Arrays and references, which only files of other tools bring.
void appendNonScalar(const std::string& name, const TCIMValue& value, std::string* out) {
    if (value.GetType() == kCIMReference) {
        put(out, "<PROPERTY.REFERENCE NAME=\"");
        cimxml::AppendEscaped(name, true, out);
        put(out, "\"><VALUE.REFERENCE>");
        *out += value.GetReferenceXml();
        put(out, "</VALUE.REFERENCE></PROPERTY.REFERENCE>\n");
        return;
    }
    put(out, "<PROPERTY.ARRAY NAME=\"");
    cimxml::AppendEscaped(name, true, out);
    put(out, "\" TYPE=\"");
    *out += CIMTypeName(value.GetType());
    put(out, "\"><VALUE.ARRAY>");
    for (const std::string& element : value.GetElements()) appendValue(element, out);
    put(out, "</VALUE.ARRAY></PROPERTY.ARRAY>\n");
}

void appendClass(const TCIMClass& cimClass, std::string* out) {
    put(out, "<VALUE.OBJECT>\n<CLASS NAME=\"");
    cimxml::AppendEscaped(cimClass.GetName(), true, out);
    put(out, "\">\n");
    if (!cimClass.GetProvider().empty()) {
        put(out, "<QUALIFIER NAME=\"Provider\" TYPE=\"string\">");
        appendValue(cimClass.GetProvider(), out);
        put(out, "</QUALIFIER>\n");
        if (cimClass.GetProviderPass() >= 0) {
            put(out, "<QUALIFIER NAME=\"ProviderPass\" TYPE=\"uint16\">");
            appendValue(std::to_string(cimClass.GetProviderPass()), out);
            put(out, "</QUALIFIER>\n");
        }
    }
    for (const TCIMPropertyDecl& decl : cimClass.GetPropertyDecls()) {
        if (decl.type == kCIMReference) {
            put(out, "<PROPERTY.REFERENCE NAME=\"");
            cimxml::AppendEscaped(decl.name, true, out);
            if (!decl.referenceClass.empty()) {
                put(out, "\" REFERENCECLASS=\"");
                cimxml::AppendEscaped(decl.referenceClass, true, out);
            }
            put(out, "\"/>\n");
            continue;
        }
        if (decl.isArray) put(out, "<PROPERTY.ARRAY NAME=\"");
        else put(out, "<PROPERTY NAME=\"");
        cimxml::AppendEscaped(decl.name, true, out);
        put(out, "\" TYPE=\"");
        *out += CIMTypeName(decl.type);
        put(out, "\"/>\n");
    }
    put(out, "</CLASS>\n</VALUE.OBJECT>\n");
}

void appendInstance(const TCIMInstance& instance, const std::string& classAttribute, std::string* out) {
    put(out, "<VALUE.OBJECT>\n<INSTANCE CLASSNAME=\"");
    *out += classAttribute;
    put(out, "\">\n");
    for (const auto& prop : instance.GetProperties()) {
        if (prop.second.GetType() == kCIMReference || prop.second.IsArray()) {
            appendNonScalar(prop.first, prop.second, out);
            continue;
        }
        put(out, "<PROPERTY NAME=\"");
        cimxml::AppendEscaped(prop.first, true, out);
        put(out, "\" TYPE=\"");
        *out += CIMTypeName(prop.second.GetType());
        put(out, "\">");
        appendValue(prop.second.GetText(), out);
        put(out, "</PROPERTY>\n");
    }
    put(out, "</INSTANCE>\n</VALUE.OBJECT>\n");
}

// The document into *out; flush(last) is called whenever *out has grown past
// pieceSize and once at the end, and may take out's contents.
template <class Flush>
void renderDocument(const TContainer* container, size_t pieceSize, std::string* out, Flush flush) {
    *out +=
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<CIM CIMVERSION=\"2.0\" DTDVERSION=\"2.2\">\n<DECLARATION>\n<DECLGROUP>\n";
    const std::vector<TCIMClass*> classes = container->GetClasses();
    for (const TCIMClass* cimClass : classes) appendClass(*cimClass, out);
    for (const TCIMClass* cimClass : classes) {
        const std::string classAttribute = cimxml::EscapeText(cimClass->GetName(), true);
        for (const TCIMInstance* instance : cimClass->EnumerateInstances(true)) {
            appendInstance(*instance, classAttribute, out);
            if (out->size() >= pieceSize) flush(false);
        }
    }
    put(out, "</DECLGROUP>\n</DECLARATION>\n</CIM>\n");
    flush(true);
}

}  // namespace

std::string TCIMXMLFile::Render(const TContainer* container) {
    std::string out;
    renderDocument(container, std::string::npos, &out, [](bool) {});
    return out;
}

void TCIMXMLFile::Write(const TContainer* container, const std::string& path) {
    TOutputFile file(path);
    gzipcodec::Deflater deflater;
    std::string compressed;
    std::atomic<uint64_t> written(0);
    auto compress = [&](const std::string& piece, bool last) {
        deflater.Feed(piece.data(), piece.size(), last, &compressed);
        file.Write(compressed.data(), compressed.size());
        written += compressed.size();
        compressed.clear();
    };
    WorkBehind behind([&](const std::string& piece) { compress(piece, false); });
    std::string xml;
    xml.reserve(kPieceSize + 64 * 1024);
    renderDocument(container, kPieceSize, &xml, [&](bool last) {
        if (last) {
            behind.Finish();
            compress(xml, true);
        } else {
            behind.Put(&xml);
            xml.reserve(kPieceSize + 64 * 1024);
        }
        ReportProgress("XML file, bytes written", written, 0);
    });
    file.Commit();
}
