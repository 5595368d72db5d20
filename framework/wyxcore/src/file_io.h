#ifndef WYXCORE_FILE_IO_H
#define WYXCORE_FILE_IO_H

#include <cstdio>
#include <string>

#include "byte_source.h"

namespace fileio {

// The whole file. Throws TWYXException: kWyxFileNotFound, kWyxAccessDenied,
// kWyxReadFailed.
std::string ReadAll(const std::string& path);

// A file read in pieces. Throws as ReadAll does.
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
// Writes data under a temporary name beside path and renames it over path, so
// path never holds a partial file. Throws TWYXException: kWyxAccessDenied,
// kWyxDiskFull, kWyxWriteFailed.
void WriteAtomically(const std::string& path, const std::string& data);

// The same for a file written piece by piece: Commit renames it over path;
// without Commit the temporary file is removed. Each operation throws as
// WriteAtomically does, and the temporary file is gone then.
class AtomicFile {
public:
    explicit AtomicFile(const std::string& path);
    ~AtomicFile();
    void Write(const char* data, size_t size);
    void Commit();

private:
    AtomicFile(const AtomicFile&);
    AtomicFile& operator=(const AtomicFile&);
    [[noreturn]] void fail(int error);
    std::string path_;
    std::string temporary_;
    std::FILE* file_;
};

}  // namespace fileio

#endif
