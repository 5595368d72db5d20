#ifndef NORBIX_FLEET_CONTENT_HASH_H
#define NORBIX_FLEET_CONTENT_HASH_H

#include <cstddef>
#include <cstdint>
#include <string>

// SHA-256, by which the store knows a file it already holds whatever its name.
class Sha256 {
public:
    Sha256();
    void Update(const void* data, size_t size);
    // Lower-case hex of the digest; the object is spent afterwards.
    std::string HexDigest();

private:
    void block(const unsigned char* p);
    uint32_t h_[8];
    unsigned char buffer_[64];
    size_t buffered_ = 0;
    uint64_t length_ = 0;
};

// The hash of a file's bytes, read a piece at a time; throws FleetError naming
// the file when it cannot be read.
std::string FileContentHash(const std::string& path);

#endif
