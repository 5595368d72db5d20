#ifndef NORBIX_INDEX_LIST_H
#define NORBIX_INDEX_LIST_H

#include <cstddef>
#include <string>
#include <vector>

class PageNames;
class TContainer;
class TCIMInstance;

// Rows the index shows of a list that grows with the data (an analysis of a
// big log finds thousands of things): enough to read at a glance while the
// index stays quick to open; the class's own pages hold the rest.
const size_t kIndexListRows = 100;

// The first instances of a class in reading order, at most kIndexListRows.
struct IndexList {
    std::string className;
    std::vector<const TCIMInstance*> shown;
    size_t total = 0;
};
IndexList FirstInstances(const TContainer& container, const std::string& className);

// The line over a list cut short: how many are not shown and a link to the
// class's pages, which hold them all. Empty when nothing was cut. what is the
// plural noun for the rows ("findings"). HTML.
std::string NotShownNote(const IndexList& list, const std::string& what, const PageNames& pages);

#endif
