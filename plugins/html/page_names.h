#ifndef NORBIX_PAGE_NAMES_H
#define NORBIX_PAGE_NAMES_H

#include <cstddef>
#include <map>
#include <string>
#include <vector>

class TContainer;
class TCIMClass;

// The file name of each class page: the class name with every character but
// letters, digits, "_" and "-" replaced by "_", and a number added where two
// names would clash on a file system that ignores case (or with index.html).
// A class of several pages keeps that name for its first page (links and
// bookmarks to it stay good) and names the n-th "<stem>.p<n>.html"; stems have
// no "." of their own, so these never meet another class's name.
class PageNames {
public:
    explicit PageNames(const std::vector<const TCIMClass*>& classes);
    // The file of the page (counted from 0) of the class; empty for a class without pages.
    std::string Of(const std::string& className, size_t page = 0) const;

private:
    std::map<std::string, std::string> stems_;
};

#endif
