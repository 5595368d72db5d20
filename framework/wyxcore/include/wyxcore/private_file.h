#ifndef WYXCORE_PRIVATE_FILE_H
#define WYXCORE_PRIVATE_FILE_H

#include <cstddef>
#include <string>

#include "wyxcore/export.h"

// A file that only the running user may hold, because it keeps secrets (the
// pseudonym map of masking): read whole, never through a link, refused when
// it is not a regular file, belongs to another user or is open to others
// (POSIX), or holds more than limit bytes. Written back with WriteOutputFile,
// which makes it private.
enum TPrivateFileState { kPrivateFileMissing, kPrivateFileRead, kPrivateFileRefused };
// On kPrivateFileRefused, *problem says why ("is a symbolic link", ...).
WYX_API TPrivateFileState ReadPrivateFile(const std::string& path, size_t limit, std::string* content,
                                          std::string* problem);

#endif
