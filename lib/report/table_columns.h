#ifndef NORBIX_TABLE_COLUMNS_H
#define NORBIX_TABLE_COLUMNS_H

#include <string>
#include <unordered_map>
#include <vector>

class TCIMClass;
class TCIMInstance;
class TCIMValue;

// The columns of a class's table: its declared properties in order, then any
// other property its instances carry, in order of first appearance. Both are
// found in time linear in the properties, so a class of very many does not
// stall a report.
class TableColumns {
public:
    explicit TableColumns(const TCIMClass& cimClass);
    const std::vector<std::string>& Names() const { return names_; }
    // The instance's value in each column, null where it is not set.
    std::vector<const TCIMValue*> ValuesOf(const TCIMInstance& instance) const;

private:
    void add(const std::string& name);
    std::vector<std::string> names_;
    std::unordered_map<std::string, size_t> column_;
};

#endif
