#ifndef NORBIX_REPORT_FILE_H
#define NORBIX_REPORT_FILE_H

#include <string>

// Writes content to path so that the final name only ever holds a complete file:
// the bytes go to a temporary file beside it, which is renamed over path once
// written. Text mode gives the platform's line ends. Throws TWYXException:
// kWyxAccessDenied when the file cannot be created or put in place,
// kWyxWriteFailed or kWyxDiskFull when writing fails.
void WriteReportFile(const std::string& path, const std::string& content, bool textMode);

#endif
