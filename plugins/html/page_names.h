#ifndef NORBIX_PAGE_NAMES_H
#define NORBIX_PAGE_NAMES_H

#include <map>
#include <string>
#include <vector>

class TContainer;
class TCIMClass;

// The file name of each class page: the class name with every character but
// letters, digits, "_" and "-" replaced by "_", and a number added where two
// names would clash on a file system that ignores case (or with index.html).
class PageNames {
public:
    explicit PageNames(const std::vector<const TCIMClass*>& classes);
    // Empty for a class without a page.
    std::string Of(const std::string& className) const;

private:
    std::map<std::string, std::string> names_;
};

#endif
