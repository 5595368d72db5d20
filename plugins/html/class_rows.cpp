#include "class_rows.h"

#include <unordered_map>

#include "reading_order.h"
#include "wyxcore/container.h"

ClassRows::ClassRows(const TCIMClass& cimClass, size_t rowsPerPage)
    : order_(ReadingOrder(cimClass)), split_(order_.size(), rowsPerPage) {
    std::unordered_map<const TCIMInstance*, size_t> position;
    for (const TCIMInstance* instance : cimClass.EnumerateInstances(true)) position.emplace(instance, position.size());
    positionOfRow_.reserve(order_.size());
    rowOfPosition_.resize(position.size());
    for (size_t row = 0; row < order_.size(); ++row) {
        positionOfRow_.push_back(position[order_[row]]);
        rowOfPosition_[positionOfRow_.back()] = row;
    }
}

size_t ClassRows::PageOf(size_t position) const {
    return position < rowOfPosition_.size() ? split_.PageOfRow(rowOfPosition_[position]) : 0;
}
