#ifndef WYXCORE_CRASH_FILE_NAME_H
#define WYXCORE_CRASH_FILE_NAME_H

#include <cstddef>

namespace wyxos {

// Copies path into out and path + "." + id + ".tmp" into temporary, without
// allocation; false when either would not fit.
bool CrashFileNames(const char* path, unsigned long id, char* out, size_t outSize, char* temporary,
                    size_t temporarySize);

}  // namespace wyxos

#endif
