#ifndef WYXCORE_SAFE_NAME_H
#define WYXCORE_SAFE_NAME_H

#include <cstddef>
#include <string>

#include "wyxcore/export.h"

// A part of a file name made from data (a model, a serial number, an input
// file's name): bytes other than letters, digits, '-', '_' and '.' become
// '_', and the result is never empty, never starts or ends with '.', is no
// device name of Windows, and holds at most kSafeNamePartMax bytes.
// Every name norbix makes from data goes through this one rule; max may be
// larger for a name that the rule's users bound themselves.
const size_t kSafeNamePartMax = 64;
WYX_API std::string SafeNamePart(const std::string& text, size_t max = kSafeNamePartMax);

#endif
