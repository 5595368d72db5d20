#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "smbios_table.h"

namespace {

// One structure: header (type, length, handle), the formatted bytes after the
// header, and the string area.
std::string structure(unsigned char type, const std::string& formatted, const std::string& strings) {
    std::string s;
    s.push_back(static_cast<char>(type));
    s.push_back(static_cast<char>(4 + formatted.size()));
    s += std::string("\x01\x00", 2);
    s += formatted;
    s += strings.empty() ? std::string(2, '\0') : strings + '\0';
    return s;
}

std::string table(const std::string& structures, long declaredLength = -1) {
    const size_t length = declaredLength < 0 ? structures.size() : static_cast<size_t>(declaredLength);
    std::string raw("\x00\x02\x08\x00", 4);
    for (int i = 0; i < 4; ++i) raw.push_back(static_cast<char>(length >> (8 * i) & 0xFF));
    return raw + structures;
}

// Type 1: manufacturer 1, product 2, version 3, serial number 4.
const std::string kSystem = structure(1, std::string("\x01\x02\x03\x04", 4) + std::string(17, '\0'),
                                      std::string("Varn\0" "8841-AB1\0" "1.0\0" "K1234567\0", 27));
const std::string kBios = structure(0, std::string(14, '\x01'), std::string("Vendor\0" "2.3\0", 11));

TEST(SmbiosTable, FindsTheSystemStructureOrLeavesFieldsEmpty) {
    const struct {
        const char* what;
        std::string raw;
        MachineIdentity expected;
    } cases[] = {
        {"system structure first", table(kSystem), {"Varn", "8841-AB1", "K1234567"}},
        {"after another structure", table(kBios + kSystem), {"Varn", "8841-AB1", "K1234567"}},
        {"no serial number string",
         table(structure(1, std::string("\x01\x02\x00\x00", 4), std::string("V\0P\0", 4))), {"V", "P", ""}},
        {"string number beyond the area",
         table(structure(1, std::string("\x01\x05\x00\x02", 4), std::string("V\0", 2))), {"V", "", ""}},
        {"no system structure", table(kBios), {"", "", ""}},
        {"end-of-table before it", table(structure(127, "", "") + kSystem), {"", "", ""}},
        {"declared length cut short", table(kBios + kSystem, static_cast<long>(kBios.size() + 6)), {"", "", ""}},
        {"declared length beyond the data", table(kSystem, 100000), {"Varn", "8841-AB1", "K1234567"}},
        {"system structure cut in its strings", table(kSystem.substr(0, kSystem.size() - 12)),
         {"Varn", "8841-AB1", ""}},
        {"header only", table(""), {"", "", ""}},
        {"nothing", "", {"", "", ""}},
        {"structure length below its header", table(std::string("\x01\x02\x00\x00\x00\x00", 6)), {"", "", ""}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const MachineIdentity identity = machine::ParseSmbios(c.raw);
        EXPECT_EQ(c.expected.manufacturer, identity.manufacturer);
        EXPECT_EQ(c.expected.model, identity.model);
        EXPECT_EQ(c.expected.serialNumber, identity.serialNumber);
    }
}

// Type 17 up to the extended size: locator 1, bank 2, size, speed, maker 3,
// serial 4, part 5.
std::string memoryDevice(unsigned size, unsigned speed, uint32_t extended = 0) {
    std::string f(0x24 - 4, '\0');
    auto at = [&f](size_t offset) -> char& { return f[offset - 4]; };
    at(0x0C) = static_cast<char>(size & 0xFF);
    at(0x0D) = static_cast<char>(size >> 8);
    at(0x10) = 1;
    at(0x11) = 2;
    at(0x15) = static_cast<char>(speed & 0xFF);
    at(0x16) = static_cast<char>(speed >> 8);
    at(0x17) = 3;
    at(0x18) = 4;
    at(0x1A) = 5;
    for (int i = 0; i < 4; ++i) at(0x1C + i) = static_cast<char>(extended >> (8 * i) & 0xFF);
    return structure(17, f, std::string("DIMM A1\0BANK 0\0Maker\0SN1\0PN-1\0", 30));
}

// Type 0: vendor 1, version 2, release date 3.
const std::string kBiosNamed = structure(0, std::string("\x01\x02\x00\x00\x03", 5) + std::string(13, '\0'),
                                         std::string("Vendor\0" "2.3\0" "01/02/2026\0", 22));

TEST(SmbiosTable, ReadsTheBiosAndEveryInstalledModule) {
    const struct {
        const char* what;
        std::string structures;
        std::vector<uint64_t> sizes;   // one per module listed
        unsigned speed;
    } cases[] = {
        {"size in MB", memoryDevice(16384, 3200), {16384ULL << 20}, 3200},
        {"size in KB (bit 15)", memoryDevice(0x8000 | 512, 0), {512ULL << 10}, 0},
        {"extended size", memoryDevice(0x7FFF, 2933, 65536), {65536ULL << 20}, 2933},
        {"unknown size", memoryDevice(0xFFFF, 2400), {0}, 2400},
        {"empty slot", memoryDevice(0, 0), {}, 0},
        {"two modules", memoryDevice(8192, 2666) + memoryDevice(8192, 2666), {8192ULL << 20, 8192ULL << 20}, 2666},
        {"structure too short for a module", structure(17, std::string(8, '\x01'), ""), {}, 0},
        {"cut in its formatted part", memoryDevice(8192, 2666).substr(0, 12), {}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const SmbiosFacts facts = machine::ParseSmbiosFirmwareTable(table(kBiosNamed + c.structures));
        EXPECT_EQ("Vendor", facts.bios.vendor);
        EXPECT_EQ("2.3", facts.bios.version);
        EXPECT_EQ("01/02/2026", facts.bios.releaseDate);
        ASSERT_EQ(c.sizes.size(), facts.modules.size());
        for (size_t i = 0; i < c.sizes.size(); ++i) {
            EXPECT_EQ(c.sizes[i], facts.modules[i].sizeBytes);
            EXPECT_EQ(c.speed, facts.modules[i].speedMHz);
            EXPECT_EQ("DIMM A1", facts.modules[i].slot);
            EXPECT_EQ("BANK 0", facts.modules[i].bank);
            EXPECT_EQ("Maker", facts.modules[i].manufacturer);
            EXPECT_EQ("SN1", facts.modules[i].serialNumber);
            EXPECT_EQ("PN-1", facts.modules[i].partNumber);
        }
    }
}

}  // namespace
