#include "tolm_reply.h"

#include <cstring>

TolmReply::TolmReply(const unsigned char* reply, int length) : length_(length & 0xFF) {
    std::memset(bytes_, 0, sizeof bytes_);
    for (int offset = kFirst; offset < length && offset < kFirst + kKept; ++offset)
        bytes_[offset - kFirst] = offset == length - 1 ? 0 : reply[offset];
}

unsigned char TolmReply::byte(int offset) const {
    if (offset < kFirst || offset >= kFirst + kKept) return 0;
    return bytes_[offset - kFirst];
}
