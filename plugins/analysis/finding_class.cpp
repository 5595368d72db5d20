#include "finding_class.h"

#include "wyxcore/container.h"

const char kFindingClass[] = "VARNSG_AnalysisFinding";

TCIMClass* FindingClass(TContainer& container) {
    static const struct { const char* name; TCIMType type; } properties[] = {
        {"CreationClassName", kCIMString}, {"FindingID", kCIMString},     {"Severity", kCIMString},
        {"Category", kCIMString},          {"Description", kCIMString},   {"SourceClass", kCIMString},
        {"SourceKey", kCIMString},         {"SourceMessage", kCIMString}, {"SourceTimestamp", kCIMDateTime}};
    TCIMClass* cimClass = container.AddClass(kFindingClass);
    for (const auto& property : properties) cimClass->DeclareProperty(property.name, property.type);
    return cimClass;
}
