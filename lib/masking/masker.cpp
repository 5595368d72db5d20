#include "masker.h"

#include <cctype>

#include "wyxcore/container.h"
#include "wyxcore/value.h"

namespace {

bool contains(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

// A pseudonym of another map still looks like one: it is never masked again.
bool looksLikePseudonym(const std::string& token) {
    const size_t dash = token.rfind('-');
    if (dash == std::string::npos || token.size() - dash < 5) return false;
    const std::string head = LowerAscii(token.substr(0, dash));
    if (head != "host" && head != "user" && head != "serial" && head != "word") return false;
    for (size_t i = dash + 1; i < token.size(); ++i)
        if (!std::isdigit(static_cast<unsigned char>(token[i]))) return false;
    return true;
}

// The pseudonym written the way the value was: a MAC keeps its separator and case.
std::string rendered(MaskKind kind, const std::string& original, const std::string& pseudonym) {
    if (kind != MaskKind::kMac) return pseudonym;
    std::string result = pseudonym;
    bool upper = false;
    for (char c : original) upper = upper || (c >= 'A' && c <= 'F');
    for (char& c : result) {
        if (c == ':') c = original[2];
        else if (upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return result;
}

}  // namespace

Masker::Masker(const MaskChoice& choice, PseudonymMap* map) : choice_(choice), map_(map), finder_(choice) {
    finder_.SetSkip([map](const std::string& token) {
        return map->IsPseudonym(token) || map->IsPseudonym(LowerAscii(token)) || looksLikePseudonym(token);
    });
}

void Masker::LearnFromContainer(const TContainer* container) {
    for (const TCIMClass* cimClass : container->GetClasses()) {
        const bool computerSystem = contains(LowerAscii(cimClass->GetName()), "computersystem");
        for (const TCIMInstance* instance : cimClass->EnumerateInstances(false)) {
            for (const auto& property : instance->GetProperties()) {
                if (property.second.GetType() != kCIMString) continue;
                const std::string name = LowerAscii(property.first);
                MaskKind kind;
                if (contains(name, "serial")) kind = MaskKind::kSerial;
                else if (contains(name, "user") || contains(name, "owner")) kind = MaskKind::kUser;
                else if (contains(name, "hostname") || contains(name, "csname") || contains(name, "computername") ||
                         contains(name, "systemname") || contains(name, "servername") || name == "domain" ||
                         contains(name, "dnsdomain") || (computerSystem && name == "name"))
                    kind = MaskKind::kHost;
                else
                    continue;
                if (property.second.IsArray()) {
                    for (const std::string& element : property.second.GetElements()) finder_.AddKnown(kind, element);
                } else {
                    finder_.AddKnown(kind, property.second.GetText());
                }
            }
        }
    }
}

std::string Masker::MaskText(const std::string& text, bool withAddresses) const {
    const std::vector<MaskToken> tokens = finder_.Find(text, withAddresses);
    if (tokens.empty()) return text;
    std::string result;
    result.reserve(text.size());
    size_t done = 0;
    for (const MaskToken& token : tokens) {
        result.append(text, done, token.pos - done);
        const std::string original = text.substr(token.pos, token.len);
        result += rendered(token.kind, original, map_->PseudonymOf(token.kind, token.key, choice_.keepMacMaker));
        done = token.pos + token.len;
    }
    result.append(text, done, std::string::npos);
    return result;
}

void Masker::MaskInstance(TCIMInstance* instance) const {
    // Setting a property that is there replaces its value in place: the list
    // walked keeps its size.
    const std::vector<std::pair<std::string, TCIMValue> >& properties = instance->GetProperties();
    for (size_t i = 0; i < properties.size(); ++i) {
        const std::pair<std::string, TCIMValue>& property = properties[i];
        const TCIMValue& value = property.second;
        const bool addresses = !contains(LowerAscii(property.first), "version");
        if (value.GetType() == kCIMString && !value.IsArray()) {
            std::string masked = MaskText(value.GetText(), addresses);
            if (masked != value.GetText()) instance->SetPropertyValue(property.first, TCIMValue(std::move(masked)));
        } else if (value.GetType() == kCIMString) {
            std::vector<std::string> elements = value.GetElements();
            bool changed = false;
            for (std::string& element : elements) {
                std::string masked = MaskText(element, addresses);
                changed = changed || masked != element;
                element.swap(masked);
            }
            if (changed) instance->SetPropertyValue(property.first, TCIMValue::Array(kCIMString, elements));
        } else if (value.GetType() == kCIMReference) {
            const std::string path = MaskText(value.GetText());
            const std::string xml = MaskText(value.GetReferenceXml());
            if (path != value.GetText() || xml != value.GetReferenceXml())
                instance->SetPropertyValue(property.first, TCIMValue::Reference(path, xml));
        }
    }
}

void Masker::MaskContainer(TContainer* container) const {
    for (TCIMClass* cimClass : container->GetClasses())
        for (TCIMInstance* instance : cimClass->EnumerateInstances(false)) MaskInstance(instance);
}
