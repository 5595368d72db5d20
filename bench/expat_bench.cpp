// Expat against our parser on the reader's figure: the same file, inflated and
// parsed by Expat with the reader's work done in its callbacks, measured in the
// same rounds as our reader and its reference (inflate plus pugixml), so that a
// shared machine's load hits all of them alike.
#include <benchmark/benchmark.h>
#include <expat.h>
#include <pugixml.hpp>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <limits>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "bench_data.h"
#include "figures.h"
#include "wyxcore/container.h"
#include "wyxcore/value.h"
#include "inflate_file.h"

namespace bench {

namespace {

typedef std::chrono::steady_clock Clock;

double since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// UTF-8 as our 8-bit bytes (U+0080..U+00FF one byte each, U+E000 + byte a
// control byte), the mapping our reader applies to every text it keeps.
void appendBytes(const char* p, size_t n, std::string* out) {
    const char* end = p + n;
    while (p < end) {
        const char* plain = p;
        while (p < end && static_cast<unsigned char>(*p) < 0x80) ++p;
        out->append(plain, p);
        if (p == end) break;
        const unsigned char c = static_cast<unsigned char>(*p);
        if (c < 0xE0 && p + 1 < end) {
            out->push_back(static_cast<char>(((c & 0x1F) << 6) | (p[1] & 0x3F)));
            p += 2;
        } else if (c < 0xF0 && p + 2 < end) {
            const unsigned code = ((c & 0x0F) << 12) | ((p[1] & 0x3F) << 6) | (p[2] & 0x3F);
            out->push_back(code >= 0xE000 && code < 0xE100 ? static_cast<char>(code - 0xE000) : '?');
            p += 3;
        } else {
            out->push_back('?');
            p += c < 0xF0 ? 1 : 4;
        }
    }
}

// The floor of any Expat-based reader: every name, attribute and text the
// parser reports is looked at once.
struct Touch {
    size_t bytes = 0;
    std::string text;
};

void XMLCALL touchStart(void* data, const XML_Char* name, const XML_Char** attributes) {
    Touch* touch = static_cast<Touch*>(data);
    touch->bytes += std::strlen(name);
    for (; *attributes; attributes += 2) touch->bytes += std::strlen(attributes[0]) + std::strlen(attributes[1]);
    touch->text.clear();
}

void XMLCALL touchEnd(void* data, const XML_Char* name) { static_cast<Touch*>(data)->bytes += std::strlen(name); }

void XMLCALL touchText(void* data, const XML_Char* text, int size) {
    appendBytes(text, static_cast<size_t>(size), &static_cast<Touch*>(data)->text);
}

void parseWithExpat(const std::string& xml, void* user, XML_StartElementHandler start, XML_EndElementHandler end,
                    XML_CharacterDataHandler text) {
    std::unique_ptr<XML_ParserStruct, void (*)(XML_Parser)> parser(XML_ParserCreate(nullptr), XML_ParserFree);
    XML_SetUserData(parser.get(), user);
    XML_SetElementHandler(parser.get(), start, end);
    XML_SetCharacterDataHandler(parser.get(), text);
    // In one piece: Expat then parses the bytes where they are, its fastest way.
    if (XML_Parse(parser.get(), xml.data(), static_cast<int>(xml.size()), 1) != XML_STATUS_OK)
        throw std::runtime_error(std::string("Expat rejects the file: ") + XML_ErrorString(XML_GetErrorCode(parser.get())));
}

// Expat with no callbacks at all: the parse itself, which no reader gets below.
__attribute__((noinline)) void expatBare(const std::string& xml) { parseWithExpat(xml, nullptr, nullptr, nullptr, nullptr); }

__attribute__((noinline)) size_t expatTouch(const std::string& xml) {
    Touch touch;
    parseWithExpat(xml, &touch, touchStart, touchEnd, touchText);
    return touch.bytes;
}

// The reader's work in Expat's callbacks: classes and their declarations
// staged, each property's NAME and TYPE checked against the class (the place
// after the last one first), its VALUE mapped to bytes and checked as its
// type, instances staged and added to the container at the end.
class ExpatReader {
public:
    explicit ExpatReader(TContainer* container) : container_(container) {}

    void Read(const std::string& xml) {
        parseWithExpat(xml, this, start, end, text);
        for (auto& staged : instances_) {
            TCIMInstance* instance = new TCIMInstance(staged.first->cimClass);
            for (auto& property : staged.second) instance->SetPropertyValue(std::move(property.first), std::move(property.second));
            instance->Commit();
        }
    }

private:
    struct Staged {
        TCIMClass* cimClass;
        std::vector<TCIMPropertyDecl> known;
        std::unordered_map<std::string, size_t> index;
        size_t cursor = 0;
    };
    typedef std::vector<std::pair<std::string, TCIMValue> > Properties;

    static const char* attribute(const XML_Char** attributes, const char* name) {
        for (; *attributes; attributes += 2)
            if (std::strcmp(attributes[0], name) == 0) return attributes[1];
        throw std::runtime_error(std::string("without ") + name);
    }

    Staged* stage(const char* name) {
        classKey_.clear();
        appendBytes(name, std::strlen(name), &classKey_);
        auto it = classes_.find(classKey_);
        if (it != classes_.end()) return it->second.get();
        std::unique_ptr<Staged> made(new Staged());
        made->cimClass = container_->AddClass(classKey_);
        Staged* staged = made.get();
        classes_.emplace(classKey_, std::move(made));
        return staged;
    }

    size_t declare(Staged* staged, const XML_Char** attributes) {
        name_.clear();
        appendBytes(attribute(attributes, "NAME"), std::strlen(attribute(attributes, "NAME")), &name_);
        TCIMType type;
        if (!CIMTypeFromName(attribute(attributes, "TYPE"), &type)) throw std::runtime_error("unknown type");
        size_t at = staged->cursor;
        if (at >= staged->known.size() || staged->known[at].name != name_) {
            auto it = staged->index.find(name_);
            if (it == staged->index.end()) {
                at = staged->known.size();
                staged->index.emplace(name_, at);
                staged->known.emplace_back(name_, type);
                staged->cimClass->DeclareProperty(name_, type);
            } else {
                at = it->second;
            }
        }
        if (staged->known[at].type != type) throw std::runtime_error("declared otherwise");
        staged->cursor = at + 1;
        return at;
    }

    static void XMLCALL start(void* data, const XML_Char* name, const XML_Char** attributes) {
        ExpatReader* self = static_cast<ExpatReader*>(data);
        if (std::strcmp(name, "VALUE") == 0) {
            self->inValue_ = true;
            self->text_.clear();
        } else if (std::strcmp(name, "PROPERTY") == 0) {
            self->property_ = self->declare(self->current_, attributes);
        } else if (std::strcmp(name, "INSTANCE") == 0) {
            self->current_ = self->stage(attribute(attributes, "CLASSNAME"));
            self->current_->cursor = 0;
            self->props_.clear();
            self->props_.reserve(self->current_->known.size());
            self->inInstance_ = true;
        } else if (std::strcmp(name, "CLASS") == 0) {
            self->current_ = self->stage(attribute(attributes, "NAME"));
            self->current_->cursor = 0;
            self->inInstance_ = false;
        }
    }

    static void XMLCALL end(void* data, const XML_Char* name) {
        ExpatReader* self = static_cast<ExpatReader*>(data);
        if (std::strcmp(name, "VALUE") == 0) {
            self->inValue_ = false;
            if (!self->inInstance_) return;   // a qualifier's value
            const TCIMPropertyDecl& decl = self->current_->known[self->property_];
            self->props_.emplace_back(decl.name, decl.type == kCIMString ? TCIMValue(std::move(self->text_))
                                                                       : TCIMValue::FromText(decl.type, std::move(self->text_)));
        } else if (std::strcmp(name, "INSTANCE") == 0) {
            self->instances_.emplace_back(self->current_, std::move(self->props_));
            self->inInstance_ = false;
        }
    }

    static void XMLCALL text(void* data, const XML_Char* text, int size) {
        ExpatReader* self = static_cast<ExpatReader*>(data);
        if (self->inValue_) appendBytes(text, static_cast<size_t>(size), &self->text_);
    }

    TContainer* container_;
    std::map<std::string, std::unique_ptr<Staged> > classes_;
    std::vector<std::pair<Staged*, Properties> > instances_;
    Staged* current_ = nullptr;
    Properties props_;
    size_t property_ = 0;
    bool inValue_ = false;
    bool inInstance_ = false;
    std::string text_, name_, classKey_;
};

__attribute__((noinline)) void expatRead(const std::string& xml, TContainer* container) {
    ExpatReader reader(container);
    reader.Read(xml);
}

__attribute__((noinline)) void ourRead(const std::string& path, TContainer* container) {
    container->PopulateContainerFromFile(path);
}

__attribute__((noinline)) void pugixmlParse(std::string* xml) {
    pugi::xml_document document;
    if (!document.load_buffer_inplace(&(*xml)[0], xml->size(), pugi::parse_default | pugi::parse_ws_pcdata))
        throw std::runtime_error("pugixml rejects the file");
    benchmark::DoNotOptimize(document.first_child());
}

size_t instancesOf(const TContainer& container) {
    size_t count = 0;
    for (const TCIMClass* cimClass : container.GetClasses()) count += cimClass->GetInstanceCount();
    return count;
}

void XmlReadExpat(benchmark::State& state) {
    const std::string& path = BigFile();
    std::string xml, copy;
    const double none = std::numeric_limits<double>::max();
    double ours = none, inflate = none, parse = none, bare = none, touch = none, read = none;
    for (auto _ : state) {
        Clock::time_point start = Clock::now();
        {
            TContainer container(TContainer::kEmpty);
            ourRead(path, &container);
            ours = std::min(ours, since(start));
        }
        start = Clock::now();
        InflateFile(path, &xml);
        inflate = std::min(inflate, since(start));
        copy = xml;
        start = Clock::now();
        pugixmlParse(&copy);
        parse = std::min(parse, since(start));
        start = Clock::now();
        expatBare(xml);
        bare = std::min(bare, since(start));
        start = Clock::now();
        benchmark::DoNotOptimize(expatTouch(xml));
        touch = std::min(touch, since(start));
        start = Clock::now();
        {
            TContainer container(TContainer::kEmpty);
            expatRead(xml, &container);
            read = std::min(read, since(start));
            if (instancesOf(container) != InstanceCount()) throw std::runtime_error("Expat reader lost instances");
        }
        state.SetIterationTime(ours + inflate + parse + bare + touch + read);
    }
    state.counters["ours_s"] = ours;
    state.counters["inflate_s"] = inflate;
    state.counters["parse_s"] = parse;
    state.counters["expat_bare_s"] = bare;
    state.counters["expat_touch_s"] = touch;
    state.counters["expat_read_s"] = read;
    state.counters[kReference] = inflate + parse;
    state.counters["xml_bytes"] = static_cast<double>(xml.size());
}

}  // namespace

BENCHMARK(XmlReadExpat)->UseManualTime()->Iterations(Rounds())->Unit(benchmark::kMillisecond);

}  // namespace bench
