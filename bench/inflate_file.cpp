#include "inflate_file.h"

#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace bench {

namespace {

std::string readFile(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) throw std::runtime_error("cannot open " + path);
    std::string data;
    char buffer[1 << 16];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) data.append(buffer, n);
    std::fclose(file);
    return data;
}

void zlibInflate(const std::string& gz, std::string* out) {
    const unsigned char* tail = reinterpret_cast<const unsigned char*>(gz.data() + gz.size() - 4);
    out->resize(tail[0] | (tail[1] << 8) | (tail[2] << 16) | (size_t(tail[3]) << 24));
    z_stream zs;
    std::memset(&zs, 0, sizeof zs);
    if (inflateInit2(&zs, 16 + MAX_WBITS) != Z_OK) throw std::runtime_error("inflateInit2");
    zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(gz.data()));
    zs.avail_in = static_cast<uInt>(gz.size());
    zs.next_out = reinterpret_cast<Bytef*>(&(*out)[0]);
    zs.avail_out = static_cast<uInt>(out->size());
    const int rc = inflate(&zs, Z_FINISH);
    inflateEnd(&zs);
    if (rc != Z_STREAM_END) throw std::runtime_error("inflate");
}

}  // namespace

void InflateFile(const std::string& path, std::string* out) { zlibInflate(readFile(path), out); }

}  // namespace bench
