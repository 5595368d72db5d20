#ifndef WYXCORE_BYTE_SOURCE_H
#define WYXCORE_BYTE_SOURCE_H

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>

// Bytes read in pieces, so that a reader of a file of any size holds only a
// window of it.
class ByteSource {
public:
    virtual ~ByteSource() {}
    // Fills out with the next bytes; 0 at the end. Throws TWYXException.
    virtual size_t Read(char* out, size_t capacity) = 0;
};

// Bytes already in memory; they must outlive the source.
class StringSource : public ByteSource {
public:
    explicit StringSource(const std::string& bytes) : bytes_(bytes) {}
    size_t Read(char* out, size_t capacity) override {
        const size_t n = std::min(capacity, bytes_.size() - read_);
        std::memcpy(out, bytes_.data() + read_, n);
        read_ += n;
        return n;
    }

private:
    const std::string& bytes_;
    size_t read_ = 0;
};

#endif
