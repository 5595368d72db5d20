#ifndef NORBIX_SOURCE_SEVERITY_H
#define NORBIX_SOURCE_SEVERITY_H

#include <string>

class TCIMInstance;

// The severity a record carries from its own source, as "Error", "Warning" or
// "Info"; empty when the source says nothing (an unknown code, a class no row
// names). One table holds every source: a service processor's severity byte,
// a decoded event's kind, an OS log level, the Severity of the hardware-error
// and SEL records, a disk's health assessment.
std::string SourceSeverity(const TCIMInstance& record);

// A severity code or word as one of the three names; empty when it is none of
// them. Codes are those of the processors' log entries: 2, "E" or its byte 69
// for an error, 1, "W" or 87 for a warning, 0, "I" or 73 for information.
std::string SeverityOfCode(const std::string& code);

// The severity of a decoded service-processor event by its text.
std::string SeverityOfEventText(const std::string& text);

// The more severe of two; a rule may raise a source's severity, never lower it.
const std::string& MoreSevere(const std::string& a, const std::string& b);

#endif
