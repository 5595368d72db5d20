#include "cim_xml_reader.h"

#include <pugixml.hpp>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <unordered_map>
#include <memory>

#include "gzip_codec.h"
#include "wyxcore/container.h"
#include "wyxcore/exception.h"
#include "wyxcore/status.h"
#include "xml_pull_parser.h"

namespace cimxml {

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
            if (declared || xml_->Name() != kDeclaration) {
                xml_->SkipElement();
                continue;
            }
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
                cimClass->DeclareProperty(staged->known[i].name, staged->known[i].type);
            if (!staged->exists && staged->hasProvider) cimClass->SetProvider(staged->provider, staged->pass);
            made[staged.get()] = cimClass;
            names.push_back(staged->name);
        }
        for (StagedInstance& staged : instances_) {
            std::unique_ptr<TCIMInstance> instance(new TCIMInstance(made[staged.staged]));
            instance->TakeCheckedProperties(std::move(staged.props));
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

    std::string requiredAttribute(const std::string& name) const {
        std::string value;
        if (!xml_->Attribute(name, &value)) bad(kWyxFileNotCimXml, xml_->Name() + " without " + name);
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

    // The text of the first VALUE among the open element's children; false without one.
    bool firstValue(std::string* text) {
        bool found = false;
        while (nextChild()) {
            if (!found && xml_->Name() == kValue) {
                valueText(text);
                found = true;
            } else {
                xml_->SkipElement();
            }
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
                if (!found && xml_->Name() == kClass) readClass();
                else if (!found && xml_->Name() == kInstance) readInstance();
                else {
                    xml_->SkipElement();
                    continue;
                }
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
            for (const TCIMPropertyDecl& decl : existing->GetPropertyDecls()) addKnown(staged, decl.name, decl.type);
        }
        staged->fromFile = staged->known.size();
        byName_[name] = staged;
        return staged;
    }

    static size_t addKnown(StagedClass* staged, const std::string& property, TCIMType type) {
        staged->index.emplace(property, staged->known.size());
        staged->known.push_back(TCIMPropertyDecl{property, type});
        staged->setBy.push_back(0);
        staged->setAt.push_back(0);
        return staged->known.size() - 1;
    }

    // Declares the property unless the container's class or the file already
    // has it; a different type there makes the file bad. Returns its place in
    // known. Instances mostly list their properties in the same order, so the
    // place after the last one is tried first.
    size_t declare(StagedClass* staged, const std::string& property, TCIMType type) {
        std::vector<TCIMPropertyDecl>& known = staged->known;
        size_t at = staged->cursor;
        if (at >= known.size() || known[at].name != property) {
            auto it = staged->index.find(property);
            at = it == staged->index.end() ? addKnown(staged, property, type) : it->second;
        }
        if (known[at].type != type)
            bad(kWyxFileBadValue, staged->name + "." + property + " is " + CIMTypeName(type) + ", declared " +
                                      CIMTypeName(known[at].type));
        staged->cursor = at + 1;
        return at;
    }

    void readClass() {
        StagedClass* staged = stage(requiredAttribute(kNameAttribute));
        while (nextChild()) {
            const std::string& kind = xml_->Name();
            if (kind == kProperty) {
                const std::string name = requiredAttribute(kNameAttribute);
                declare(staged, name, typeAttribute());
                xml_->SkipElement();
            } else if (kind == kQualifier) {
                readQualifier(staged);
            } else if (kind == kPropertyArray || kind == kPropertyReference) {
                bad(kWyxFileUnknownType, kind + " " + requiredAttribute(kNameAttribute) + " (not supported)");
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
        if (!firstValue(&text)) bad(kWyxFileNotCimXml, "qualifier " + name + " without VALUE");
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

    void readInstance() {
        StagedInstance instance;
        instance.staged = stage(requiredAttribute(kClassNameAttribute));
        instance.staged->cursor = 0;
        const size_t serial = ++instanceSerial_;
        instance.props.reserve(instance.staged->typicalCount);
        while (nextChild()) {
            const std::string& kind = xml_->Name();
            if (kind == kQualifier) {
                xml_->SkipElement();
                continue;
            }
            if (kind == kPropertyArray || kind == kPropertyReference)
                bad(kWyxFileUnknownType, kind + " " + requiredAttribute(kNameAttribute) + " (not supported)");
            if (kind != kProperty) bad(kWyxFileNotCimXml, "unexpected " + kind + " in INSTANCE");
            std::string name = requiredAttribute(kNameAttribute);
            const TCIMType type = typeAttribute();
            const size_t at = declare(instance.staged, name, type);
            if (!firstValue(&text_)) continue;   // a null value: the property is not set
            TCIMValue value;
            if (type == kCIMString) {
                value = TCIMValue(std::move(text_));
            } else {
                try {
                    value = TCIMValue::FromText(type, text_);
                } catch (const TWYXException&) {
                    bad(kWyxFileBadValue,
                        instance.staged->name + "." + name + " '" + text_ + "' is not a " + CIMTypeName(type));
                }
            }
            // A property given twice keeps its place and the later value.
            StagedClass* staged = instance.staged;
            if (staged->setBy[at] == serial) {
                instance.props[staged->setAt[at]].second = std::move(value);
            } else {
                staged->setBy[at] = serial;
                staged->setAt[at] = instance.props.size();
                instance.props.emplace_back(std::move(name), std::move(value));
            }
        }
        instance.staged->typicalCount = std::max(instance.staged->typicalCount, instance.props.size());
        instances_.push_back(std::move(instance));
    }

    TContainer* container_;
    XmlPullParser* xml_;
    std::string text_;
    size_t instanceSerial_ = 0;
    std::vector<std::unique_ptr<StagedClass> > classes_;
    std::map<std::string, StagedClass*> byName_;
    std::vector<StagedInstance> instances_;
};

// The bytes of a file, plain or expanded, with note of a fault of the
// compressed stream itself.
class FileSource : public XmlByteSource {
public:
    explicit FileSource(const std::string& bytes)
        : bytes_(bytes), offset_(0), failed_(false),
          inflater_(gzipcodec::LooksCompressed(bytes) ? new gzipcodec::InflateStream(bytes) : nullptr) {}

    bool Compressed() const { return inflater_ != nullptr; }
    bool Failed() const { return failed_; }

    size_t Read(char* out, size_t capacity) override {
        if (!inflater_) {
            const size_t n = std::min(capacity, bytes_.size() - offset_);
            std::memcpy(out, bytes_.data() + offset_, n);
            offset_ += n;
            return n;
        }
        try {
            return inflater_->Read(out, capacity);
        } catch (const TWYXException&) {
            failed_ = true;
            throw;
        }
    }

    // Reads the rest; throws when the compressed stream is damaged.
    void Drain() {
        char buffer[65536];
        while (Read(buffer, sizeof buffer)) {
        }
    }

private:
    const std::string& bytes_;
    size_t offset_;
    bool failed_;
    std::unique_ptr<gzipcodec::InflateStream> inflater_;
};

// The first bytes of the document, given back before the rest.
class HeadSource : public XmlByteSource {
public:
    HeadSource(std::string head, XmlByteSource* rest) : head_(std::move(head)), offset_(0), rest_(rest) {}
    const std::string& Head() const { return head_; }
    size_t Read(char* out, size_t capacity) override {
        if (offset_ == head_.size()) return rest_->Read(out, capacity);
        const size_t n = std::min(capacity, head_.size() - offset_);
        std::memcpy(out, head_.data() + offset_, n);
        offset_ += n;
        return n;
    }

private:
    std::string head_;
    size_t offset_;
    XmlByteSource* rest_;
};

class StringSource : public XmlByteSource {
public:
    explicit StringSource(const std::string& text) : text_(text), offset_(0) {}
    size_t Read(char* out, size_t capacity) override {
        const size_t n = std::min(capacity, text_.size() - offset_);
        std::memcpy(out, text_.data() + offset_, n);
        offset_ += n;
        return n;
    }

private:
    const std::string& text_;
    size_t offset_;
};

std::string readHead(XmlByteSource* source) {
    std::string head(4096, '\0');
    size_t size = 0;
    while (size < head.size()) {
        const size_t n = source->Read(&head[size], head.size() - size);
        if (n == 0) break;
        size += n;
    }
    head.resize(size);
    return head;
}

bool startsLikeXml(const std::string& data) {
    size_t i = 0;
    if (data.compare(0, 3, "\xEF\xBB\xBF") == 0) i = 3;
    else if (data.compare(0, 2, "\xFF\xFE") == 0 || data.compare(0, 2, "\xFE\xFF") == 0) return true;
    while (i < data.size() && (data[i] == ' ' || data[i] == '\t' || data[i] == '\r' || data[i] == '\n')) ++i;
    return i < data.size() && data[i] == '<';
}

// Whether the document is in another encoding than UTF-8: UTF-16, or an
// encoding named in its XML declaration.
bool otherEncoding(const std::string& head) {
    if (head.compare(0, 2, "\xFF\xFE") == 0 || head.compare(0, 2, "\xFE\xFF") == 0) return true;
    const size_t start = head.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    if (head.compare(start, 5, "<?xml") != 0) return false;
    const size_t close = head.find("?>", start);
    const size_t key = head.find("encoding", start);
    if (key == std::string::npos || key > close) return false;
    const size_t quote = head.find_first_of("\"'", key);
    if (quote == std::string::npos || quote > close) return false;
    const size_t end = head.find(head[quote], quote + 1);
    if (end == std::string::npos || end > close) return false;
    std::string name = head.substr(quote + 1, end - quote - 1);
    std::transform(name.begin(), name.end(), name.begin(), [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); });
    return name != "utf-8" && name != "utf8" && name != "us-ascii" && name != "ascii";
}

// A document in another encoding, rewritten as UTF-8 through a full parse: such
// files come from other tools and are small.
std::string asUtf8(XmlByteSource* source) {
    std::string whole;
    char buffer[65536];
    while (const size_t n = source->Read(buffer, sizeof buffer)) whole.append(buffer, n);
    pugi::xml_document document;
    const pugi::xml_parse_result parsed = document.load_buffer(
        whole.data(), whole.size(), pugi::parse_default | pugi::parse_ws_pcdata, pugi::encoding_auto);
    if (!parsed) bad(kWyxFileNotXml, std::string(parsed.description()) + " at offset " + std::to_string(parsed.offset));
    struct Collect : pugi::xml_writer {
        std::string text;
        void write(const void* data, size_t size) override { text.append(static_cast<const char*>(data), size); }
    } utf8;
    document.save(utf8, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
    return utf8.text;
}

std::vector<std::string> read(TContainer* container, FileSource* file) {
    HeadSource source(readHead(file), file);
    if (!startsLikeXml(source.Head()))
        bad(file->Compressed() ? kWyxFileNotXml : kWyxFileNotCompressedOrXml, "no XML markup at the start");
    std::string converted;
    std::unique_ptr<StringSource> convertedSource;
    XmlByteSource* document = &source;
    if (otherEncoding(source.Head())) {
        converted = asUtf8(&source);
        convertedSource.reset(new StringSource(converted));
        document = convertedSource.get();
    }
    XmlPullParser parser(document);
    Reader reader(container, &parser);
    reader.read();
    return reader.apply();
}

}  // namespace

std::vector<std::string> ReadInto(TContainer* container, std::string bytes) {
    FileSource file(bytes);
    try {
        return read(container, &file);
    } catch (const TWYXException&) {
        // A damaged compressed stream is the fault to report, whatever it made
        // the document look like.
        if (file.Compressed() && !file.Failed()) file.Drain();
        throw;
    }
}

}  // namespace cimxml
