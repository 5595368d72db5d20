#ifndef NORBIX_PAGE_NAMES_H
#define NORBIX_PAGE_NAMES_H

#include <map>
#include <string>
#include <vector>

class TCIMClass;

// The file names of each class: the class name made safe by the rule of
// every name made from data (SafeNamePart), its dots too, so that a class
// named like a Windows device (CON, COM1) gains a "_"; a number is added where two
// names would clash on a file system that ignores case (or with the report's
// own pages). The page is "<stem>.html", its rows "<stem>.data.js"; stems have
// no "." of their own, so these never meet another class's names.
class PageNames {
public:
    explicit PageNames(const std::vector<const TCIMClass*>& classes);
    // Empty for a class without pages.
    std::string Of(const std::string& className) const;
    std::string DataOf(const std::string& className) const;

private:
    std::map<std::string, std::string> stems_;
};

// The report's own pages.
extern const char kIndexPage[];
extern const char kTimelinePage[];
extern const char kTimelineData[];
extern const char kPartsPage[];
extern const char kPartsData[];

#endif
