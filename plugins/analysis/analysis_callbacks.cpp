#include "analysis_callbacks.h"

#include <algorithm>

#include "basic_analysis.h"
#include "finding_class.h"
#include "wyxcore/exception.h"
#include "wyxcore/status.h"

int BasicAnalysis::GetType() { return kWyxAnalysis; }

std::string BasicAnalysis::GetName() { return "Basic Analysis"; }

void BasicAnalysis::Query(TContainer* container, const std::vector<std::string>& classNames, int) {
    if (!container) throw TWYXException(kWyxInvalidArgument, "Basic Analysis query without a container");
    if (classNames.empty() || std::find(classNames.begin(), classNames.end(), kFindingClass) != classNames.end())
        RunBasicAnalysis(*container);
}
