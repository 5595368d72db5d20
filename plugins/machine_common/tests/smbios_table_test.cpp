#include <gtest/gtest.h>

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

}  // namespace
