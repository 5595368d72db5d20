#ifndef NORBIX_INDEX_PAGE_H
#define NORBIX_INDEX_PAGE_H

#include <string>

class PageNames;
struct ReportModel;

// The first page: whether the collection is complete (a red banner when any
// error was logged), which machine and when, the service processor, what each
// collector did, the heavy hitters, the findings grouped, the version checks,
// the classes with links to their pages, and the run log's errors and warnings.
std::string RenderIndexPage(const ReportModel& model, const PageNames& pages);

#endif
