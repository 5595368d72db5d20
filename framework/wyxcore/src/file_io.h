#ifndef WYXCORE_FILE_IO_H
#define WYXCORE_FILE_IO_H

#include <cstdio>
#include <string>

#include "byte_source.h"

namespace fileio {

// A file read in pieces (the whole of one: ReadBoundedFile). Throws
// TWYXException: kWyxFileNotFound, kWyxAccessDenied, kWyxReadFailed.
class InputFile : public ByteSource {
public:
    explicit InputFile(const std::string& path);
    ~InputFile() override;
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;
    size_t Read(char* out, size_t capacity) override;

private:
    std::string path_;
    std::FILE* file_;
};

}  // namespace fileio

#endif
