#include "schema_file.h"

#include <cstdlib>

#include <pugixml.hpp>

#include "wyxcore/container.h"

std::vector<std::pair<std::string, std::string> > ReportSchemaProperties(const std::string& className) {
    std::vector<std::pair<std::string, std::string> > properties;
    const char* source = std::getenv("NORBIX_SOURCE_DIR");
    pugi::xml_document document;
    if (!source || !document.load_file((std::string(source) + "/schema/reports.xml").c_str())) return properties;
    const std::string query = "//CLASS[@NAME='" + className + "']/PROPERTY";
    for (const pugi::xpath_node& node : document.select_nodes(query.c_str()))
        properties.push_back({node.node().attribute("NAME").value(), node.node().attribute("TYPE").value()});
    return properties;
}

std::vector<std::pair<std::string, std::string> > ClassProperties(const TCIMClass& cimClass) {
    std::vector<std::pair<std::string, std::string> > properties;
    for (const TCIMPropertyDecl& decl : cimClass.GetPropertyDecls())
        properties.push_back({decl.name, CIMTypeName(decl.type)});
    return properties;
}
