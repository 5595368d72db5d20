#ifndef WYXCORE_GZIP_CODEC_H
#define WYXCORE_GZIP_CODEC_H

#include <string>

namespace gzipcodec {

bool LooksCompressed(const std::string& data);
// Every gzip member of data, decompressed. Throws TWYXException
// (kWyxFileTruncated) for truncated or corrupt data, kWyxReadFailed when the
// result would exceed the limit.
std::string Decompress(const std::string& data);
std::string Compress(const std::string& data);

}  // namespace gzipcodec

#endif
