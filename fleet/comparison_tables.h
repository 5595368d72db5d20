#ifndef NORBIX_FLEET_COMPARISON_TABLES_H
#define NORBIX_FLEET_COMPARISON_TABLES_H

#include <string>
#include <vector>

#include "comparison.h"

// A comparison as neutral rows, decided once: the HTML page and the text
// report only format them.
struct ComparisonTable {
    std::string id;      // anchor
    std::string title;
    std::vector<std::string> headings;
    std::vector<std::vector<std::string> > rows;
    std::vector<std::string> severities;   // per row: "Error", "Warning" or empty
    std::string empty;                      // what to say without rows
};

std::vector<ComparisonTable> BuildComparisonTables(const Comparison& comparison);

// "OLD" and "NEW" with the file, host and when each was collected.
std::vector<std::pair<std::string, std::string> > ComparisonHeader(const Comparison& comparison);

#endif
