#include "table_columns.h"

#include "wyxcore/container.h"

TableColumns::TableColumns(const TCIMClass& cimClass) {
    for (const TCIMPropertyDecl& decl : cimClass.GetPropertyDecls()) add(decl.name);
    for (const TCIMInstance* instance : cimClass.EnumerateInstances(true))
        for (const auto& property : instance->GetProperties()) add(property.first);
}

void TableColumns::add(const std::string& name) {
    if (column_.emplace(name, names_.size()).second) names_.push_back(name);
}

std::vector<const TCIMValue*> TableColumns::ValuesOf(const TCIMInstance& instance) const {
    std::vector<const TCIMValue*> values(names_.size(), nullptr);
    for (const auto& property : instance.GetProperties()) {
        auto it = column_.find(property.first);
        if (it != column_.end()) values[it->second] = &property.second;
    }
    return values;
}
