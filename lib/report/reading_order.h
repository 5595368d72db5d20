#ifndef NORBIX_READING_ORDER_H
#define NORBIX_READING_ORDER_H

#include <vector>

class TCIMClass;
class TCIMInstance;

// A log class: one whose instances carry a MessageTimestamp, a date-time.
bool IsLogClass(const TCIMClass& cimClass);

// The instances of a class in the order a person reads them: log classes by
// time stamp, earliest first, instances without one last; ties and other
// classes in the order they were added.
std::vector<const TCIMInstance*> ReadingOrder(const TCIMClass& cimClass);

#endif
