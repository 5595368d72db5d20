#ifndef NORBIX_VALUE_DISPLAY_H
#define NORBIX_VALUE_DISPLAY_H

#include <string>

class TCIMInstance;
class TCIMValue;

// A value as a person reads it: date-times in their readable form (a masked one
// as its DMTF text), arrays as "{a, b}", everything else as its text.
std::string DisplayValue(const TCIMValue& value);

// The text of a property, empty when the instance does not have it.
std::string PropertyText(const TCIMInstance& instance, const std::string& name);

#endif
