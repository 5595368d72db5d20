#include "cim_xml_reference.h"

#include <memory>
#include <string>
#include <vector>

#include "wyxcore/exception.h"
#include "wyxcore/status.h"
#include "xml_pull_parser.h"
#include "xml_text.h"

namespace cimxml {

namespace {

// Deeper than any path a tool writes; a hostile file must not exhaust the stack.
const int kMaxDepth = 16;

struct Node {
    std::string name;
    std::vector<std::pair<std::string, std::string> > attributes;
    std::string text;
    std::vector<std::unique_ptr<Node> > children;

    std::string attribute(const char* key) const {
        for (const auto& a : attributes)
            if (a.first == key) return a.second;
        return std::string();
    }
    const Node* child(const char* key) const {
        for (const auto& c : children)
            if (c->name == key) return c.get();
        return nullptr;
    }
};

// Only these hold text; elsewhere text is layout.
bool holdsText(const std::string& name) { return name == "HOST" || name == "KEYVALUE" || name == "VALUE"; }

// The children of the element just opened, to its end.
void readChildren(XmlPullParser* xml, Node* node, int depth) {
    if (depth > kMaxDepth) throw TWYXException(kWyxFileNotCimXml, "a reference nested too deep");
    for (;;) {
        switch (xml->Next()) {
        case XmlPullParser::kText:
            if (holdsText(node->name)) xml->AppendText(&node->text);
            break;
        case XmlPullParser::kStartElement: {
            std::unique_ptr<Node> child(new Node());
            child->name = xml->Name();
            std::string name, value;
            for (size_t i = 0; i < xml->AttributeCount(); ++i) {
                xml->AttributeAt(i, &name, &value);
                child->attributes.emplace_back(name, value);
            }
            readChildren(xml, child.get(), depth + 1);
            node->children.push_back(std::move(child));
            break;
        }
        default: return;
        }
    }
}

void writeXml(const Node& node, std::string* out) {
    *out += '<';
    AppendEscaped(node.name, true, out);
    for (const auto& a : node.attributes) {
        *out += ' ';
        AppendEscaped(a.first, true, out);
        *out += "=\"";
        AppendEscaped(a.second, true, out);
        *out += '"';
    }
    if (node.children.empty() && node.text.empty()) {
        *out += "/>";
        return;
    }
    *out += '>';
    AppendEscaped(node.text, false, out);
    for (const auto& c : node.children) writeXml(*c, out);
    *out += "</";
    AppendEscaped(node.name, true, out);
    *out += '>';
}

std::string quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + '"';
}

std::string pathOf(const Node& node);

std::string keyValue(const Node& node) {
    if (node.name == "VALUE.REFERENCE") return quoted(node.children.empty() ? std::string() : pathOf(*node.children[0]));
    const std::string type = node.attribute("VALUETYPE");
    return type.empty() || type == "string" ? quoted(node.text) : node.text;
}

std::string namespaceOf(const Node& node) {
    std::string path;
    for (const auto& c : node.children) {
        if (c->name == "HOST") path = "//" + c->text + "/";
        if (c->name != "LOCALNAMESPACEPATH") continue;
        std::string names;
        for (const auto& ns : c->children) names += (names.empty() ? "" : "/") + ns->attribute("NAME");
        path += names;
    }
    return path;
}

// The object path in the form of a WBEM URI, without its scheme.
std::string pathOf(const Node& node) {
    if (node.name == "CLASSNAME") return node.attribute("NAME");
    if (node.name == "INSTANCENAME") {
        std::string path = node.attribute("CLASSNAME");
        if (node.children.empty()) return path + "=@";
        if (node.children[0]->name != "KEYBINDING") return path + "=" + keyValue(*node.children[0]);
        for (size_t i = 0; i < node.children.size(); ++i) {
            const Node& binding = *node.children[i];
            path += (i == 0 ? "." : ",") + binding.attribute("NAME") + "=" +
                    (binding.children.empty() ? std::string() : keyValue(*binding.children[0]));
        }
        return path;
    }
    // CLASSPATH, LOCALCLASSPATH, INSTANCEPATH, LOCALINSTANCEPATH
    std::string space, rest;
    for (const auto& c : node.children) {
        if (c->name == "NAMESPACEPATH") space = namespaceOf(*c);
        else if (c->name == "LOCALNAMESPACEPATH") space = namespaceOf(node);
        else rest = pathOf(*c);
    }
    return space.empty() ? rest : space + ":" + rest;
}

}  // namespace

TCIMValue ReadReference(XmlPullParser* xml) {
    Node reference;
    reference.name = "VALUE.REFERENCE";
    readChildren(xml, &reference, 0);
    if (reference.children.empty()) throw TWYXException(kWyxFileNotCimXml, "VALUE.REFERENCE without a path");
    std::string content;
    for (const auto& c : reference.children) writeXml(*c, &content);
    return TCIMValue::Reference(pathOf(*reference.children[0]), std::move(content));
}

}  // namespace cimxml
