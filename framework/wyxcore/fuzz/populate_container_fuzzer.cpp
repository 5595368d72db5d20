// Feeds arbitrary bytes to PopulateContainerFromFile: it must throw
// TWYXException or succeed, never crash, and a failure must leave the container
// as it was.
#include <cstdio>
#include <cstdint>
#include <string>

#include <stdlib.h>
#include <unistd.h>

#include "wyxcore/cim_xml.h"
#include "wyxcore/container.h"
#include "wyxcore/exception.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = [] {
        char name[] = "/tmp/wyxcore-fuzz-XXXXXX";
        const int fd = mkstemp(name);
        if (fd >= 0) close(fd);
        return std::string(name);
    }();
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    TContainer container;
    const std::string before = TCIMXMLFile::Render(&container);
    try {
        container.PopulateContainerFromFile(path);
        // What was read can be written and read again.
        TContainer copy(TContainer::kEmpty);
        const std::string document = TCIMXMLFile::Render(&container);
        std::FILE* again = std::fopen(path.c_str(), "wb");
        if (!again) return 0;
        std::fwrite(document.data(), 1, document.size(), again);
        std::fclose(again);
        copy.PopulateContainerFromFile(path);
        if (TCIMXMLFile::Render(&copy) != document) __builtin_trap();
    } catch (const TWYXException&) {
        if (TCIMXMLFile::Render(&container) != before) __builtin_trap();
    }
    return 0;
}
