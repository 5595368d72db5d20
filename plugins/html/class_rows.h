#ifndef NORBIX_CLASS_ROWS_H
#define NORBIX_CLASS_ROWS_H

#include <vector>

#include "page_split.h"

class TCIMClass;
class TCIMInstance;

// The rows of a class's table: its instances in reading order, cut into pages.
// An instance is known by its position in the class's enumeration (its row's
// anchor is "i" and that position), which stays the same however the rows are
// ordered or paged; this is the one place that tells which page holds it.
class ClassRows {
public:
    explicit ClassRows(const TCIMClass& cimClass, size_t rowsPerPage = kRowsPerPage);
    const PageSplit& Split() const { return split_; }
    const TCIMInstance* InstanceAt(size_t row) const { return order_[row]; }
    size_t PositionAt(size_t row) const { return positionOfRow_[row]; }
    // The page that holds the instance at that position (the first page for a
    // position the class does not have).
    size_t PageOf(size_t position) const;

private:
    std::vector<const TCIMInstance*> order_;
    std::vector<size_t> positionOfRow_;
    std::vector<size_t> rowOfPosition_;
    PageSplit split_;
};

#endif
