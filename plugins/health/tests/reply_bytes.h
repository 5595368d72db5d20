#ifndef NORBIX_HEALTH_TESTS_REPLY_BYTES_H
#define NORBIX_HEALTH_TESTS_REPLY_BYTES_H

// Building recorded disk replies byte by byte, for the decoders' and the seams' tests.
#include <cstddef>
#include <cstdint>

#include "disk_replies.h"

namespace healthtest {

// value, little-endian, in width bytes at at.
inline void put(health::Bytes& b, size_t at, uint64_t value, size_t width) {
    for (size_t i = 0; i < width; ++i) b.at(at + i) = static_cast<uint8_t>(value >> (8 * i));
}

// Two replies one after the other; element by element, which keeps GCC's
// bounds warnings from misreading a vector insert.
template <typename Tail>
health::Bytes joined(const health::Bytes& head, const Tail& tail) {
    health::Bytes out(head.size() + tail.size(), 0);
    for (size_t i = 0; i < head.size(); ++i) out[i] = head[i];
    for (size_t i = 0; i < tail.size(); ++i) out[head.size() + i] = static_cast<uint8_t>(tail[i]);
    return out;
}

}  // namespace healthtest

#endif
