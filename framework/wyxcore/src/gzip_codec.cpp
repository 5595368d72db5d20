#include "gzip_codec.h"

#include <zlib.h>

#include <cstring>

#include "wyxcore/exception.h"
#include "wyxcore/status.h"

namespace gzipcodec {

namespace {

// A bound on what one file may expand to: a small crafted file must not eat the
// machine's memory.
const size_t kMaxExpanded = size_t(1) << 30;

// The size that the last member's trailer announces (modulo 4 GiB), bounded by
// what deflate can expand the data to: a first guess that spares regrowing.
size_t expectedSize(const std::string& data) {
    if (data.size() < 18) return 0;
    const unsigned char* tail = reinterpret_cast<const unsigned char*>(data.data() + data.size() - 4);
    const size_t announced = tail[0] | (tail[1] << 8) | (tail[2] << 16) | (size_t(tail[3]) << 24);
    const size_t possible = data.size() < kMaxExpanded / 1032 ? data.size() * 1032 : kMaxExpanded;
    return announced < possible ? announced : possible;
}

}  // namespace

bool LooksCompressed(const std::string& data) {
    return data.size() >= 2 && static_cast<unsigned char>(data[0]) == 0x1F &&
           static_cast<unsigned char>(data[1]) == 0x8B;
}

std::string Decompress(const std::string& data) {
    StringSource input(data);
    InflateStream stream(&input);
    std::string out;
    out.reserve(expectedSize(data));
    char buffer[65536];
    while (const size_t n = stream.Read(buffer, sizeof buffer)) out.append(buffer, n);
    return out;
}

InflateStream::InflateStream(ByteSource* input)
    : input_(input), buffer_(65536, '\0'), stream_(nullptr), total_(0), ended_(false) {
    z_stream* zs = new z_stream;
    std::memset(zs, 0, sizeof *zs);
    if (inflateInit2(zs, 16 + MAX_WBITS) != Z_OK) {
        delete zs;
        throw TWYXException(kWyxOutOfMemory, "zlib");
    }
    stream_ = zs;
}

InflateStream::~InflateStream() {
    z_stream* zs = static_cast<z_stream*>(stream_);
    inflateEnd(zs);
    delete zs;
}

bool InflateStream::refill() {
    z_stream* zs = static_cast<z_stream*>(stream_);
    // Unused bytes move to the front; they are at most a gzip magic's worth here.
    const size_t kept = zs->avail_in;
    if (kept) std::memmove(&buffer_[0], zs->next_in, kept);
    const size_t n = input_->Read(&buffer_[kept], buffer_.size() - kept);
    zs->next_in = reinterpret_cast<Bytef*>(&buffer_[0]);
    zs->avail_in = static_cast<uInt>(kept + n);
    return n != 0;
}

size_t InflateStream::Read(char* out, size_t capacity) {
    z_stream* zs = static_cast<z_stream*>(stream_);
    while (!ended_) {
        if (zs->avail_in == 0 && !refill()) throw TWYXException(kWyxFileTruncated, "compressed data ends early");
        zs->next_out = reinterpret_cast<Bytef*>(out);
        zs->avail_out = static_cast<uInt>(capacity);
        const int rc = inflate(zs, Z_NO_FLUSH);
        const size_t produced = capacity - zs->avail_out;
        total_ += produced;
        if (total_ > kMaxExpanded) throw TWYXException(kWyxFileTooLarge, "file expands beyond 1 GiB");
        if (rc == Z_STREAM_END) {
            // Concatenated members form one file; anything else after the end is damage.
            while (zs->avail_in < 2 && refill()) {
            }
            if (zs->avail_in == 0) {
                ended_ = true;
            } else {
                if (zs->avail_in < 2 || zs->next_in[0] != 0x1F || zs->next_in[1] != 0x8B)
                    throw TWYXException(kWyxFileTruncated, "data after the end of the compressed stream");
                if (inflateReset(zs) != Z_OK) throw TWYXException(kWyxFileTruncated, "inflateReset");
            }
        } else if (rc != Z_OK && rc != Z_BUF_ERROR) {
            throw TWYXException(kWyxFileTruncated, zs->msg ? zs->msg : "corrupt compressed data");
        }
        if (produced) return produced;
    }
    return 0;
}

std::string Compress(const std::string& data) {
    std::string out;
    Deflater deflater;
    deflater.Feed(data.data(), data.size(), true, &out);
    return out;
}

Deflater::Deflater() : stream_(nullptr) {
    z_stream* zs = new z_stream;
    std::memset(zs, 0, sizeof *zs);
    if (deflateInit2(zs, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
        delete zs;
        throw TWYXException(kWyxOutOfMemory, "zlib");
    }
    stream_ = zs;
}

Deflater::~Deflater() {
    z_stream* zs = static_cast<z_stream*>(stream_);
    deflateEnd(zs);
    delete zs;
}

void Deflater::Feed(const char* data, size_t size, bool finish, std::string* out) {
    z_stream* zs = static_cast<z_stream*>(stream_);
    zs->next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data));
    zs->avail_in = static_cast<uInt>(size);
    unsigned char buffer[65536];
    for (;;) {
        zs->next_out = buffer;
        zs->avail_out = sizeof buffer;
        const int rc = deflate(zs, finish ? Z_FINISH : Z_NO_FLUSH);
        out->append(reinterpret_cast<const char*>(buffer), sizeof buffer - zs->avail_out);
        if (rc == Z_STREAM_END) return;
        if (rc != Z_OK && rc != Z_BUF_ERROR) throw TWYXException(kWyxWriteFailed, "compression failed");
        if (!finish && zs->avail_in == 0 && zs->avail_out != 0) return;
    }
}

}  // namespace gzipcodec
