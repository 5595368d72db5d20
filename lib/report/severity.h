#ifndef NORBIX_SEVERITY_H
#define NORBIX_SEVERITY_H

#include <string>

// How the reports weigh a severity ("Error", "Warning", any other, none) and
// which severities stand out.

// Higher is more severe: "Error" 3, "Warning" 2, any other 1, none 0.
int SeverityRank(const std::string& severity);

enum class SeverityStyle { kPlain, kWarning, kError };

// Errors and warnings are marked; anything else reads plain.
SeverityStyle StyleOfSeverity(const std::string& severity);

#endif
