#include "sp_image_generator.h"

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <stdexcept>
#include <vector>

namespace bench {

namespace {

void hexLine(std::ostream& out, const char* directive, const std::vector<uint8_t>& bytes) {
    static const char digits[] = "0123456789ABCDEF";
    out << directive;
    for (uint8_t b : bytes) out << ' ' << digits[b >> 4] << digits[b & 15];
    out << '\n';
}

void appendText(std::vector<uint8_t>* bytes, const std::string& text, size_t width) {
    for (size_t i = 0; i < width; ++i) bytes->push_back(i < text.size() ? static_cast<uint8_t>(text[i]) : 0);
}

const char* const kMessages[] = {
    "System power on", "Fan 2 failure detected", "Temperature sensor CPU 1 over warning threshold",
    "Power supply 1 AC lost", "Watchdog timer expired, system restarted", "DIMM 4 correctable ECC error logged",
    "Remote login from 10.0.0.12", "System log cleared"};

std::ofstream openImage(const std::string& path) {
    std::ofstream out(path, std::ios::binary);
    if (!out) throw std::runtime_error("cannot write " + path);
    return out;
}

}  // namespace

void WriteDotImage(const std::string& path, int processors, size_t entriesEach) {
    std::ofstream out = openImage(path);
    out << "# " << processors << " processors of " << entriesEach << " ULK entries\nkind dot\n";
    uint32_t seed = 7;
    for (int p = 0; p < processors; ++p) {
        out << "processor\n";
        hexLine(out, "clock", {26, 12, 8, 0, 5, 30, 0});
        hexLine(out, "timezone", {0x0C, 0xFE});   // -500: five hours west
        for (size_t i = 0; i < entriesEach; ++i) {
            seed = seed * 1103515245u + 12345u;
            const uint32_t r = seed >> 8;
            std::vector<uint8_t> entry;
            entry.push_back(static_cast<uint8_t>(r % 4));               // severity
            entry.push_back(static_cast<uint8_t>(20 + i * 6 / entriesEach));   // year - 2000
            entry.push_back(static_cast<uint8_t>(1 + r % 12));          // month
            entry.push_back(static_cast<uint8_t>(1 + (r >> 4) % 28));   // day of month
            entry.push_back(static_cast<uint8_t>(1 + (r >> 9) % 7));    // weekday
            entry.push_back(static_cast<uint8_t>((r >> 3) % 24));
            entry.push_back(static_cast<uint8_t>((r >> 5) % 60));
            entry.push_back(static_cast<uint8_t>((r >> 7) % 60));
            entry.push_back(static_cast<uint8_t>(r & 0xFF));            // event id, 2 bytes
            entry.push_back(static_cast<uint8_t>((r >> 8) & 0xFF));
            appendText(&entry, (r & 1) ? "SERVPROC" : "BIOS", 16);
            const std::string message = kMessages[(r >> 11) % (sizeof kMessages / sizeof kMessages[0])];
            appendText(&entry, message, message.size());
            entry.push_back(0);
            hexLine(out, "entry", entry);
        }
    }
    if (!out) throw std::runtime_error("cannot write " + path);
}

void WriteTolmImage(const std::string& path, size_t entries) {
    static const uint8_t kTypes[] = {0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7, 0xAD, 0xAE, 0xE1, 0xA8};
    std::ofstream out = openImage(path);
    out << "# TRAV log: " << entries << " entries, every event type in turn\nkind tolm\nboxid 2\n";
    uint32_t seed = 11;
    uint32_t stamp = 1000000000;   // seconds since 1990
    for (size_t i = 0; i < entries; ++i) {
        const uint8_t type = kTypes[i % (sizeof kTypes / sizeof kTypes[0])];
        std::vector<uint8_t> entry = {0, 0};
        stamp += 97;
        for (int shift = 24; shift >= 0; shift -= 8) entry.push_back(static_cast<uint8_t>(stamp >> shift));
        entry.push_back(type);
        for (int b = 0; b < 25; ++b) {
            seed = seed * 1103515245u + 12345u;
            entry.push_back(static_cast<uint8_t>(seed >> 16));
        }
        entry.back() = 0;
        hexLine(out, "entry", entry);
    }
    if (!out) throw std::runtime_error("cannot write " + path);
}

}  // namespace bench
