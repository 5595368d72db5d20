#ifndef NORBIX_TEXT_REPORT_H
#define NORBIX_TEXT_REPORT_H

#include <string>

#include "wyxcore/datetime.h"

class TContainer;

// The plain-text report of a container: whether the collection is complete,
// the machine and when it was collected, what each collector did, the findings
// grouped, the timeline, a list of contents, then one section per class that
// has instances (heavy hitters first, then analysis findings and version
// checks, then the others by class name). Records (log entries, findings, the
// timeline) are one line each; other classes are name-value lines (one
// instance) or a table, with the properties that hold the same value in every
// row listed once above it. writtenAt is when the report is written.
std::string RenderTextReport(const TContainer& container, const TCIMDateTime& writtenAt);

#endif
