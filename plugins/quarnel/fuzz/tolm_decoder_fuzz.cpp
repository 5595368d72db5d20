// Arbitrary replies and box IDs: the decoder never reads outside the record and
// always ends.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "fuzz_driver.h"
#include "tolm_decoder.h"
#include "vantlib/SPLibrary.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    setFuzzBoxId(data[0] | (data[1] << 8));
    // Exactly the reply bytes, so any read beyond them is caught.
    std::vector<unsigned char> reply(data + 2, data + size);
    if (reply.size() > 255) reply.resize(255);
    SPLibrary library;
    const std::string text = decodeTolmEvent(TolmReply(reply.data(), static_cast<int>(reply.size())), library);
    if (text.size() > 4096) __builtin_trap();
    return 0;
}
