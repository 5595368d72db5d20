#ifndef NORBIX_SCHEMA_FILE_H
#define NORBIX_SCHEMA_FILE_H

#include <string>
#include <utility>
#include <vector>

// The properties (name, CIM type name) that schema/reports.xml of the source
// tree declares for a class, in order; empty when it does not declare it.
std::vector<std::pair<std::string, std::string> > ReportSchemaProperties(const std::string& className);

// The same of a class as a container holds it.
class TCIMClass;
std::vector<std::pair<std::string, std::string> > ClassProperties(const TCIMClass& cimClass);

#endif
