#ifndef NORBIX_CRASH_HANDLER_H
#define NORBIX_CRASH_HANDLER_H

// The OS part of MiniDumper: the handler that writes the dump. The portable
// part (minidumper.cpp) owns the names and prepares the console.

#include <cstddef>

// Arms the handler for a dump named dumpName in directory (which ends with a
// path separator); both strings live until the process ends.
void InstallOsCrashHandler(const char* dumpName, const char* directory);

// directory + dumpName + ".dmp" into path; false when it does not fit in size
// bytes (what fits is written, terminated).
bool FormatDumpPath(char* path, size_t size, const char* directory, const char* dumpName);

#endif
