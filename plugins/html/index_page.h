#ifndef NORBIX_INDEX_PAGE_H
#define NORBIX_INDEX_PAGE_H

#include <string>

class PageNames;
class TContainer;
class TCIMDateTime;

// The first page: the machine, the heavy hitters (first and prominent, all of
// them), the analysis findings and version checks, the classes (by name) with
// their instance counts and links to their pages, and the run log. Findings,
// version checks and the run log show their first rows only when long.
std::string RenderIndexPage(const TContainer& container, const PageNames& pages, const TCIMDateTime& writtenAt);

// One line naming the machine (host name, model, serial number), as HTML.
std::string MachineLine(const TContainer& container);

#endif
