// Arbitrary entry-format files and entries: the decoder ends, and never reads or
// writes outside the 2048-byte reply buffer. Input: two bytes of entry length,
// the entry, then the format text.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "clock_normaliser.h"
#include "dot_command.h"
#include "entry_format.h"
#include "wyxcore/flat.h"

namespace {
int dateTime;   // the one handle handed out
}

extern "C" {
int wyxWriteLog(void*, int, const char* text) { return text ? 0 : 3; }
int wyxAddProperty(void*, const char* name, const char* value) { return name && value ? 0 : 3; }
int wyxAddDateTimeProperty(void*, const char*, void* handle) { return handle == &dateTime ? 0 : 3; }
int wyxNewCIMDateTime(void** handle) {
    *handle = &dateTime;
    return 0;
}
int wyxSetDateTime(void* handle, int, int, int, int, int, int, int, int) { return handle == &dateTime ? 0 : 3; }
int wyxDeleteCIMDateTime(void* handle) { return handle == &dateTime ? 0 : 3; }
const char* wyxTranslateStatusCode(int) { return "status"; }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const size_t length = std::min<size_t>((data[0] | (data[1] << 8)) % (kDotReplySize + 1), size - 2);
    std::vector<unsigned char> reply(kDotReplySize, 0);
    std::memcpy(reply.data(), data + 2, length);
    static const std::string path =
        (std::filesystem::temp_directory_path() / "quarnel_entry_format_fuzz.txt").string();
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data + 2 + length), static_cast<std::streamsize>(size - 2 - length));
    ClockNormaliser clock(nullptr, nullptr);
    EntryFormatContext context = {nullptr, nullptr, path, 1, 2, &clock};
    decodeUlkEntry(context, reply.data(), static_cast<int>(length));
    return 0;
}
