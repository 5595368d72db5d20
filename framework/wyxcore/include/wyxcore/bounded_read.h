#ifndef WYXCORE_BOUNDED_READ_H
#define WYXCORE_BOUNDED_READ_H

#include <cstddef>
#include <string>

#include "wyxcore/export.h"

// The whole of a file handed to the program (a class schema, a version
// catalog, a simulator image), hostile until read: its size is checked before
// any byte is read, and one that grows meanwhile or has no size (a device) is
// held to the same bound. Links are followed: the user named the file.
// Throws TWYXException: kWyxFileNotFound, kWyxAccessDenied (a directory),
// kWyxReadFailed, kWyxFileTooLarge (more than limit bytes).
WYX_API std::string ReadBoundedFile(const std::string& path, size_t limit);

#endif
