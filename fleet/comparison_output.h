#ifndef NORBIX_FLEET_COMPARISON_OUTPUT_H
#define NORBIX_FLEET_COMPARISON_OUTPUT_H

#include <string>

#include "comparison.h"

// The comparison's HTML page (index.html with the reports' style sheet and
// script beside it, under the reports' policy) and its text report.
std::string RenderComparisonPage(const Comparison& comparison);
std::string RenderComparisonText(const Comparison& comparison);

// Writes the page into the directory base and the text into base + ".txt",
// each through the framework's output routines; throws FleetError naming the
// path that could not be written.
void WriteComparison(const Comparison& comparison, const std::string& base);

#endif
