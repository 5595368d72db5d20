#include "elf_image.h"

#include <elf.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

namespace wyxos {

namespace {

template <typename Header, typename Segment>
bool segmentsComplete(std::FILE* file, uint64_t size, std::string* error) {
    Header header;
    if (std::fseek(file, 0, SEEK_SET) != 0 || std::fread(&header, sizeof header, 1, file) != 1) {
        *error = "file too short";
        return false;
    }
    if (header.e_phentsize != sizeof(Segment) || header.e_phnum == 0) return true;   // the loader's call
    const uint64_t end = static_cast<uint64_t>(header.e_phoff) + header.e_phnum * sizeof(Segment);
    if (end > size) {
        *error = "file too short";
        return false;
    }
    std::vector<Segment> segments(header.e_phnum);
    if (std::fseek(file, static_cast<long>(header.e_phoff), SEEK_SET) != 0 ||
        std::fread(segments.data(), sizeof(Segment), segments.size(), file) != segments.size()) {
        *error = "file too short";
        return false;
    }
    for (const Segment& segment : segments) {
        if (segment.p_type != PT_LOAD) continue;
        if (segment.p_offset > size || segment.p_filesz > size - segment.p_offset) {
            *error = "file too short: a loadable segment reaches past its end";
            return false;
        }
    }
    return true;
}

}  // namespace

bool ElfSegmentsComplete(const std::string& path, std::string* error) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return true;   // the loader reports why it cannot be opened
    unsigned char ident[EI_NIDENT];
    bool complete = true;
    if (std::fread(ident, sizeof ident, 1, file) == 1 && std::memcmp(ident, ELFMAG, SELFMAG) == 0 &&
        std::fseek(file, 0, SEEK_END) == 0) {
        const long end = std::ftell(file);
        const uint64_t size = end < 0 ? 0 : static_cast<uint64_t>(end);
        if (ident[EI_CLASS] == ELFCLASS64) complete = segmentsComplete<Elf64_Ehdr, Elf64_Phdr>(file, size, error);
        else if (ident[EI_CLASS] == ELFCLASS32) complete = segmentsComplete<Elf32_Ehdr, Elf32_Phdr>(file, size, error);
    }
    std::fclose(file);
    return complete;
}

}  // namespace wyxos
