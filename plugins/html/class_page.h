#ifndef NORBIX_CLASS_PAGE_H
#define NORBIX_CLASS_PAGE_H

#include <functional>
#include <string>

class PageNames;
class TCIMClass;

// The pages of one class: its instances as a table, one column per property,
// logs in time-stamp order, at most kRowsPerPage rows a page. Each row's anchor
// is "i" and the instance's position in the class ("i0" for the first added).
// A class of several pages says on each which rows it holds and links to the
// others. machine names the machine in the navigation line (HTML). Each page
// goes to write with its file name, first page first.
void RenderClassPages(const TCIMClass& cimClass, const PageNames& names, const std::string& machine,
                      const std::function<void(const std::string& fileName, const std::string& html)>& write);

#endif
