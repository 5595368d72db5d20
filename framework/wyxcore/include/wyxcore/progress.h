#ifndef WYXCORE_PROGRESS_H
#define WYXCORE_PROGRESS_H

#include <cstdint>
#include <string>

#include "wyxcore/export.h"

// Progress of a long step (a log read, a file written), for a person watching
// the console. The program installs a sink when someone can see it; without
// one a report costs a test and nothing else.
class WYX_API IProgressSink {
public:
    virtual ~IProgressSink();
    // line: the whole live line, without a line end; it replaces the last one.
    virtual void Show(const std::string& line) = 0;
};

// sink may be null (no one is watching); it must outlive its installation.
WYX_API void SetProgressSink(IProgressSink* sink);

// what: the step and its unit, e.g. "HTML pages written"; total 0 when not
// known beforehand. Redraws at most ten times a second, so a call per entry
// is cheap.
WYX_API void ReportProgress(const char* what, uint64_t done, uint64_t total);

// One more done of the step what, counted from its first call after another
// step (or none) was reported.
WYX_API void AdvanceProgress(const char* what);

// The text of the live line.
WYX_API std::string ProgressLine(const char* what, uint64_t done, uint64_t total);

#endif
