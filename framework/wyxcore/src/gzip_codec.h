#ifndef WYXCORE_GZIP_CODEC_H
#define WYXCORE_GZIP_CODEC_H

#include <cstddef>
#include <string>

namespace gzipcodec {

bool LooksCompressed(const std::string& data);
// Every gzip member of data, decompressed. Throws TWYXException
// (kWyxFileTruncated) for truncated or corrupt data, kWyxReadFailed when the
// result would exceed the limit.
std::string Decompress(const std::string& data);
std::string Compress(const std::string& data);

// Decompression in pieces, so that a reader never holds the whole expanded
// file: each Read fills out with what comes next and returns 0 at the end.
// Throws as Decompress does, at the Read that meets the fault.
class InflateStream {
public:
    explicit InflateStream(const std::string& data);
    ~InflateStream();
    size_t Read(char* out, size_t capacity);

private:
    InflateStream(const InflateStream&);
    InflateStream& operator=(const InflateStream&);
    void* stream_;
    size_t total_;
    bool ended_;
};

// Compression in pieces, for data too big to hold twice: each Feed appends to
// out what is ready; the Feed with finish set ends the stream. Throws
// TWYXException (kWyxWriteFailed) when compression fails.
class Deflater {
public:
    Deflater();
    ~Deflater();
    void Feed(const char* data, size_t size, bool finish, std::string* out);

private:
    Deflater(const Deflater&);
    Deflater& operator=(const Deflater&);
    void* stream_;
};

}  // namespace gzipcodec

#endif
