#ifndef NORBIX_HTML_PAGE_H
#define NORBIX_HTML_PAGE_H

#include <string>

// The style sheet and the script every page loads from beside it: the pages
// carry no inline script or style, so a policy that allows only the report's
// own files protects them, and the folder still opens offline from disk.
extern const char kStyleFile[];
extern const char kScriptFile[];
std::string ReportStyleSheet();
std::string ReportScript();

// A complete page. title is plain text; navigation and body are HTML.
// dataFile, when not empty, is the script file beside the page that holds the
// rows of its table; it loads after the report's script.
std::string RenderHtmlPage(const std::string& title, const std::string& navigation, const std::string& body,
                           const std::string& dataFile = std::string());

#endif
