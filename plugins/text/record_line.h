#ifndef NORBIX_RECORD_LINE_H
#define NORBIX_RECORD_LINE_H

#include <string>

// One record of the text report on one line, never wrapped, so that grep finds
// any message whole: "time | source | severity | message", then any further
// fields. Every part is made one-line first (see PlainText); a missing time
// keeps the column's width.
std::string RecordLine(const std::string& time, const std::string& source, const std::string& severity,
                       const std::string& message, const std::string& more = std::string());

#endif
