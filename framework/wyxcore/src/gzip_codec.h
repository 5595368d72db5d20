#ifndef WYXCORE_GZIP_CODEC_H
#define WYXCORE_GZIP_CODEC_H

#include <cstddef>
#include <string>

#include "byte_source.h"

namespace gzipcodec {

bool LooksCompressed(const std::string& data);
// Every gzip member of data, decompressed. Throws TWYXException
// (kWyxFileTruncated) for truncated or corrupt data, kWyxFileTooLarge when the
// result would exceed 1 GiB.
std::string Decompress(const std::string& data);
std::string Compress(const std::string& data);

// Decompression in pieces, so that a reader holds neither the whole file nor
// the whole expanded data: each Read fills out with what comes next and returns
// 0 at the end. Throws as Decompress does, at the Read that meets the fault.
class InflateStream : public ByteSource {
public:
    // The compressed bytes come from input, which must outlive the stream.
    explicit InflateStream(ByteSource* input);
    ~InflateStream() override;
    InflateStream(const InflateStream&) = delete;
    InflateStream& operator=(const InflateStream&) = delete;
    size_t Read(char* out, size_t capacity) override;

private:
    // More compressed bytes behind those not yet used; false at the input's end.
    bool refill();
    ByteSource* input_;
    std::string buffer_;
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
