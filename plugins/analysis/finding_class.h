#ifndef NORBIX_FINDING_CLASS_H
#define NORBIX_FINDING_CLASS_H

class TContainer;
class TCIMClass;

// The class of the analysis findings, as schema/reports.xml declares it:
// CreationClassName, FindingID, Severity ("Error" or "Warning"), Category,
// Description, SourceClass, SourceKey ("Property=Value" naming the source
// instance), SourceMessage, SourceTimestamp (datetime).
extern const char kFindingClass[];

// The class in the container, declared from the list above when the
// container's schema lacks it. Throws TWYXException (kWyxTypeMismatch) when the
// container declares one of its properties with another type.
TCIMClass* FindingClass(TContainer& container);

#endif
