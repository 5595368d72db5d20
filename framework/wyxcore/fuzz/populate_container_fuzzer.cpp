// Feeds arbitrary bytes to PopulateContainerFromFile: it must throw
// TWYXException or succeed, never crash, and a failure must leave the container
// as it was. It runs under memory bounds (see CMakeLists.txt): the seed
// blank_bomb.xml.gz expands to 40 MiB of blanks, which must be refused without
// being held.
#include <cstdio>
#include <cstdint>
#include <filesystem>
#include <string>

#include "wyxcore/cim_xml.h"
#include "wyxcore/container.h"
#include "wyxcore/exception.h"

namespace {

// The input file of this process, removed when it ends.
struct InputFile {
    InputFile()
        : path((std::filesystem::temp_directory_path() /
                ("wyxcore-fuzz-" + std::to_string(reinterpret_cast<uintptr_t>(this)) + ".xml"))
                   .string()) {}
    ~InputFile() { std::remove(path.c_str()); }
    std::string path;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static InputFile input;
    const std::string& path = input.path;
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
