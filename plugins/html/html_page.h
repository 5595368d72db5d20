#ifndef NORBIX_HTML_PAGE_H
#define NORBIX_HTML_PAGE_H

#include <string>

// A complete, self-contained page: the style and the table script are inline
// and the content policy forbids loading anything, so the folder can be mailed
// and opened anywhere. title is plain text; navigation and body are HTML.
std::string RenderHtmlPage(const std::string& title, const std::string& navigation, const std::string& body);

#endif
