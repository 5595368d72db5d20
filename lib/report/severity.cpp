#include "severity.h"

int SeverityRank(const std::string& severity) {
    if (severity == "Error") return 3;
    if (severity == "Warning") return 2;
    return severity.empty() ? 0 : 1;
}

SeverityStyle StyleOfSeverity(const std::string& severity) {
    switch (SeverityRank(severity)) {
    case 3: return SeverityStyle::kError;
    case 2: return SeverityStyle::kWarning;
    default: return SeverityStyle::kPlain;
    }
}
