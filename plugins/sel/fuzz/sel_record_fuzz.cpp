// Arbitrary Get SEL Entry chains: the reader never reads outside a reply and
// always ends, and the decoder gives every record a text.
#include <cstddef>
#include <algorithm>
#include <cstdint>
#include <vector>

#include "sel_reader.h"

namespace {

// Answers each request with the next slice of the input: a completion code,
// a length and that many bytes.
class FuzzController : public IpmiTransport {
public:
    FuzzController(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    IpmiReply request(uint8_t, uint8_t, const std::vector<uint8_t>&) override {
        IpmiReply reply;
        if (at_ + 2 > size_) return reply;
        reply.outcome = IpmiReply::Outcome::Answered;
        reply.completionCode = data_[at_];
        const size_t length = std::min<size_t>(data_[at_ + 1], size_ - at_ - 2);
        reply.data.assign(data_ + at_ + 2, data_ + at_ + 2 + length);
        at_ += 2 + length;
        return reply;
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzController controller(data, size);
    const SelReadResult read = sel::ReadSel(controller);
    for (const SelRecord& record : read.records)
        if (record.message.empty()) __builtin_trap();
    return 0;
}
