#ifndef WYXCORE_ERRNO_STATUS_H
#define WYXCORE_ERRNO_STATUS_H

// The status for a C library error number, decided here once. Reading and
// writing differ: a missing file is "not found" to a reader, while a writer
// that cannot create its file was refused (a missing directory, a link or a
// name taken all are). Header-only so that the tests reach it.

#include <cerrno>

#include "wyxcore/status.h"

namespace wyxos {

enum class FileUse { kRead, kWrite };

inline int StatusOfErrno(int error, FileUse use) {
    if (use == FileUse::kRead) {
        if (error == ENOENT || error == ENOTDIR) return kWyxFileNotFound;
        if (error == EACCES || error == EPERM || error == EROFS || error == EISDIR) return kWyxAccessDenied;
        if (error == ENOSPC) return kWyxDiskFull;
        return kWyxReadFailed;
    }
#ifdef EDQUOT   // not in every C library
    if (error == EDQUOT) return kWyxDiskFull;
#endif
    if (error == ENOSPC) return kWyxDiskFull;
    if (error == EACCES || error == EPERM || error == EROFS || error == EISDIR || error == EEXIST ||
        error == ELOOP || error == ENOENT || error == ENOTDIR)
        return kWyxAccessDenied;
    return kWyxWriteFailed;
}

}  // namespace wyxos

#endif
