#ifndef NORBIX_PAGE_SPLIT_H
#define NORBIX_PAGE_SPLIT_H

#include <cstddef>

// Rows on one page of a class. A page of this many rows of a wide log opens in
// a browser well within a second even on a busy machine; twice as many come
// close to a second there, and a page's opening time grows with its rows.
const size_t kRowsPerPage = 500;

// The rows of a table cut into pages of at most perPage rows, in order. Pages
// are counted from 0; a table always has its first page, even when empty.
class PageSplit {
public:
    explicit PageSplit(size_t rows, size_t perPage = kRowsPerPage);
    size_t Rows() const { return rows_; }
    size_t Pages() const;
    // The rows [FirstRow(page), EndRow(page)) of the page; empty past the last page.
    size_t FirstRow(size_t page) const;
    size_t EndRow(size_t page) const;
    size_t PageOfRow(size_t row) const;

private:
    size_t rows_;
    size_t perPage_;
};

#endif
