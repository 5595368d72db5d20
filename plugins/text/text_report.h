#ifndef NORBIX_TEXT_REPORT_H
#define NORBIX_TEXT_REPORT_H

#include <string>

#include "wyxcore/datetime.h"

class TContainer;

// The plain-text report of a container: a header with the machine and a list of
// contents, then one section per class that has instances (heavy hitters first,
// then analysis findings and version checks, then the others by class
// name). A class of one instance is shown as name-value lines; a class of more
// as a table, with the properties that hold the same value in every row listed
// once above it. writtenAt is the time the report says it was written.
std::string RenderTextReport(const TContainer& container, const TCIMDateTime& writtenAt);

#endif
