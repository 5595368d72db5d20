#ifndef NORBIX_HTML_REPORT_H
#define NORBIX_HTML_REPORT_H

#include <string>

class TContainer;
class TCIMDateTime;

// Writes index.html, the timeline, the page and data file of each class that
// has instances, and the report's style sheet and script as the directory's
// new content, put in place whole (see TOutputDirectory). Throws TWYXException
// kWyxAccessDenied when the directory cannot be made or replaced, kWyxDiskFull
// or kWyxWriteFailed when writing fails.
void WriteHtmlReport(const TContainer& container, const std::string& directory, const TCIMDateTime& writtenAt);

#endif
