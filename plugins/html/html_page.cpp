#include "html_page.h"

#include "html_escape.h"

const char kStyleFile[] = "report.css";
const char kScriptFile[] = "report.js";

// Made at build time from report.css and report.js beside this file (see
// CMakeLists.txt). The style sheet's colours pass WCAG AA against their
// backgrounds (4.5:1 and more). The script sorts and filters in place the
// tables of class "data" written into a page, and draws a table whose rows come
// from a data file a screenful at a time, so sorting and filtering cover every
// row of a class of any size.
extern const unsigned char kReportCss[], kReportJs[];
extern const size_t kReportCssSize, kReportJsSize;

std::string ReportStyleSheet() { return std::string(reinterpret_cast<const char*>(kReportCss), kReportCssSize); }

std::string ReportScript() { return std::string(reinterpret_cast<const char*>(kReportJs), kReportJsSize); }

std::string RenderHtmlPage(const std::string& title, const std::string& navigation, const std::string& body,
                           const std::string& dataFile) {
    std::string out = std::string("<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n") +
                      "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; script-src 'self'; "
                      "style-src 'self'; img-src 'self'; base-uri 'none'; form-action 'none'\">\n"
                      "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
                      "<title>" + EscapeHtml(title) + "</title>\n<link rel=\"stylesheet\" href=\"" + kStyleFile +
                      "\">\n</head>\n<body>\n<nav>" + navigation + "</nav>\n<main>\n" + body + "</main>\n" +
                      "<script src=\"" + kScriptFile + "\"></script>\n";
    if (!dataFile.empty()) out += "<script src=\"" + EscapeHtml(dataFile) + "\"></script>\n";
    return out + "</body>\n</html>\n";
}
