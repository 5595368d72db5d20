#ifndef NORBIX_CLASS_PAGE_H
#define NORBIX_CLASS_PAGE_H

#include <string>

class TCIMClass;

// The page of one class: its instances as a table, one column per property,
// logs in time-stamp order. Each row's anchor is "i" and the instance's
// position in the class ("i0" for the first added). machine names the machine
// in the page's navigation line (HTML).
std::string RenderClassPage(const TCIMClass& cimClass, const std::string& machine);

#endif
