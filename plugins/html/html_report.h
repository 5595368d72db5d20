#ifndef NORBIX_HTML_REPORT_H
#define NORBIX_HTML_REPORT_H

#include <string>

class TContainer;
class TCIMDateTime;

// Creates directory when it does not exist and writes into it index.html, the
// timeline, the page and data file of each class that has instances, and the
// report's style sheet and script, each complete or not at all. Throws
// TWYXException kWyxAccessDenied when the directory cannot be made or written.
void WriteHtmlReport(const TContainer& container, const std::string& directory, const TCIMDateTime& writtenAt);

#endif
