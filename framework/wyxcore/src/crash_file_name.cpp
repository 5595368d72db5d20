#include "crash_file_name.h"

namespace wyxos {

namespace {

bool append(char* out, size_t size, size_t* at, const char* text) {
    for (; *text; ++text) {
        if (*at + 1 >= size) return false;
        out[(*at)++] = *text;
    }
    out[*at] = '\0';
    return true;
}

}  // namespace

bool CrashFileNames(const char* path, unsigned long id, char* out, size_t outSize, char* temporary,
                    size_t temporarySize) {
    char digits[24];
    char* p = digits + sizeof digits;
    *--p = '\0';
    do {
        *--p = static_cast<char>('0' + id % 10);
        id /= 10;
    } while (id != 0);
    size_t at = 0;
    size_t temporaryAt = 0;
    out[0] = temporary[0] = '\0';
    return append(out, outSize, &at, path) && append(temporary, temporarySize, &temporaryAt, path) &&
           append(temporary, temporarySize, &temporaryAt, ".") && append(temporary, temporarySize, &temporaryAt, p) &&
           append(temporary, temporarySize, &temporaryAt, ".tmp");
}

}  // namespace wyxos
