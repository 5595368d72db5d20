#include "page_split.h"

#include <algorithm>

PageSplit::PageSplit(size_t rows, size_t perPage) : rows_(rows), perPage_(std::max<size_t>(perPage, 1)) {}

size_t PageSplit::Pages() const { return rows_ ? (rows_ + perPage_ - 1) / perPage_ : 1; }

size_t PageSplit::FirstRow(size_t page) const { return page < Pages() ? page * perPage_ : rows_; }

size_t PageSplit::EndRow(size_t page) const { return std::min(rows_, FirstRow(page) + perPage_); }

size_t PageSplit::PageOfRow(size_t row) const { return row / perPage_; }
