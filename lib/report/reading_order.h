#ifndef NORBIX_READING_ORDER_H
#define NORBIX_READING_ORDER_H

#include <string>
#include <vector>

class TCIMClass;
class TCIMInstance;
class TCIMValue;

// A log class: one whose instances carry a MessageTimestamp, a date-time.
bool IsLogClass(const TCIMClass& cimClass);

// The instances of a class in the order a person reads them: log classes by
// time stamp, earliest first, instances without one last; ties and other
// classes in the order they were added.
std::vector<const TCIMInstance*> ReadingOrder(const TCIMClass& cimClass);

// A value as a person reads it: date-times in their readable form (a masked one
// as its DMTF text), arrays as "{a, b}", everything else as its text.
std::string DisplayValue(const TCIMValue& value);

// The text of a property, empty when the instance does not have it.
std::string PropertyText(const TCIMInstance& instance, const std::string& name);

#endif
