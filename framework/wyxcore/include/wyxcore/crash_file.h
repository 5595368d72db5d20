#ifndef WYXCORE_CRASH_FILE_H
#define WYXCORE_CRASH_FILE_H

#include <cstddef>
#include <cstdint>

#include "wyxcore/export.h"

// A file written by a crash handler: no allocation, no locks, only calls that
// are safe in a signal handler. Prepare fixes the final and a temporary name
// unique to the process; Create opens the temporary name (returns the native
// handle: a file descriptor, or a Windows HANDLE; -1 on failure with the OS
// error kept); Commit flushes it to disk and renames it over the final name
// (false on failure, the OS error kept). The OS error is errno on POSIX and
// the thread's last error on Windows.
class WYX_API TCrashFile {
public:
    static const size_t kMaxPath = 1024;
    TCrashFile();
    TCrashFile(const TCrashFile&) = delete;
    TCrashFile& operator=(const TCrashFile&) = delete;

    // False when the path or its temporary name would not fit.
    bool Prepare(const char* path);
    intptr_t Create();
    bool Commit();
    // Closes and removes the temporary file; the OS error stays as it was.
    void Abandon();

private:
    char path_[kMaxPath];
    char temporary_[kMaxPath + 32];
    intptr_t file_;
};

#endif
