#ifndef NORBIX_CLASS_PAGE_H
#define NORBIX_CLASS_PAGE_H

#include <functional>
#include <string>

class PageNames;
struct ClassTable;
struct ReportModel;

using WriteFile = std::function<void(const std::string& fileName, const std::string& content)>;

// The page of one class and the data file of its rows: the values the same in
// every row said once above the table, the rest as a table of every row in
// reading order, each row's anchor "i" and its place in the class ("i0" for
// the first added). "#i<n>" brings that row into view; "#q=<text>" filters.
void RenderClassPage(const ClassTable& table, const ReportModel& model, const PageNames& names,
                     const WriteFile& write);

// The navigation line of every page but the index.
std::string TopLine(const ReportModel& model);

#endif
