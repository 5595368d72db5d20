#ifndef NORBIX_INDEX_PAGE_H
#define NORBIX_INDEX_PAGE_H

#include <string>

class PageNames;
struct ReportModel;

// The first page: the verdict (which parts fail or warn, most severe and most
// recent first, each with its evidence), whether the collection is complete (a
// red banner when any error was logged; unknown without a run log), the heavy
// hitters, the findings grouped, which machine and when, the service
// processor, what each collector did, the version checks, the classes with
// links to their pages, and the run log's errors and warnings.
std::string RenderIndexPage(const ReportModel& model, const PageNames& pages);

#endif
