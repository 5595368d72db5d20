#include "class_table.h"

#include <unordered_map>

#include "reading_order.h"
#include "table_columns.h"
#include "wyxcore/container.h"

ClassTable BuildClassTable(const TCIMClass& cimClass) {
    ClassTable table;
    table.cimClass = &cimClass;
    table.timed = IsLogClass(cimClass);
    table.rows = ReadingOrder(cimClass);
    std::unordered_map<const TCIMInstance*, size_t> position;
    for (const TCIMInstance* instance : cimClass.EnumerateInstances(true)) position.emplace(instance, position.size());
    for (const TCIMInstance* instance : table.rows) table.positions.push_back(position[instance]);

    const TableColumns columns(cimClass);
    std::vector<std::vector<const TCIMValue*> > all;
    all.reserve(table.rows.size());
    for (const TCIMInstance* instance : table.rows) all.push_back(columns.ValuesOf(*instance));
    std::vector<size_t> varying;
    for (size_t column = 0; column < columns.Names().size(); ++column) {
        const TCIMValue* first = all.empty() ? nullptr : all.front()[column];
        bool constant = true, anySet = false;
        for (const auto& row : all) {
            const TCIMValue* value = row[column];
            anySet = anySet || value;
            if ((value == nullptr) != (first == nullptr) || (value && *value != *first)) {
                constant = false;
                break;
            }
        }
        if (constant && !anySet) continue;   // a declared property no row has
        if (constant) table.same.emplace_back(columns.Names()[column], first);
        else varying.push_back(column);
    }
    for (size_t column : varying) table.columns.push_back(columns.Names()[column]);
    table.values.reserve(all.size());
    for (const auto& row : all) {
        std::vector<const TCIMValue*> cells;
        cells.reserve(varying.size());
        for (size_t column : varying) cells.push_back(row[column]);
        table.values.push_back(std::move(cells));
    }
    return table;
}
