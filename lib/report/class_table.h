#ifndef NORBIX_CLASS_TABLE_H
#define NORBIX_CLASS_TABLE_H

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

class TCIMClass;
class TCIMInstance;
class TCIMValue;

// The table of one class as both reports show it: rows in reading order; the
// columns whose value is the same in every row apart, to be said once; the
// others as the table's columns.
struct ClassTable {
    const TCIMClass* cimClass = nullptr;
    std::vector<std::pair<std::string, const TCIMValue*> > same;   // name, value (null: unset everywhere)
    std::vector<std::string> columns;                                 // the varying ones
    std::vector<const TCIMInstance*> rows;                            // reading order
    std::vector<size_t> positions;                                    // each row's place in the class
    std::vector<std::vector<const TCIMValue*> > values;              // per row, per column; null when unset
    bool timed = false;                                               // a log: rows are in time order
};

ClassTable BuildClassTable(const TCIMClass& cimClass);

#endif
