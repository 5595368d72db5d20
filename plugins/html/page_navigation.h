#ifndef NORBIX_PAGE_NAVIGATION_H
#define NORBIX_PAGE_NAVIGATION_H

#include <cstddef>
#include <string>

class PageNames;

// The links of one page of a class of several pages (pages counted from 0):
// index, first, previous, the numbers of the first page, the last page and
// those near this one, next, last. Links that lead nowhere from here are plain
// text. HTML.
std::string PageNavigation(const PageNames& names, const std::string& className, size_t page, size_t pages);

#endif
