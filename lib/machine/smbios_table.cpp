#include "smbios_table.h"

namespace machine {

namespace {

const unsigned char kBiosInformation = 0;
const unsigned char kSystemInformation = 1;
const unsigned char kMemoryDevice = 17;
const unsigned char kEndOfTable = 127;

// The n-th (from 1) string of the string area [p, end); empty for 0 or a number
// beyond the area.
std::string smbiosString(const unsigned char* p, const unsigned char* end, int n) {
    if (n <= 0) return std::string();
    for (int i = 1; p < end && *p; ++i) {
        const unsigned char* start = p;
        while (p < end && *p) ++p;
        if (i == n) return std::string(reinterpret_cast<const char*>(start), p - start);
        ++p;
    }
    return std::string();
}

unsigned word(const unsigned char* p) { return p[0] | p[1] << 8; }
uint32_t dword(const unsigned char* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}

void readMemoryDevice(const unsigned char* p, unsigned length, const unsigned char* strings,
                      const unsigned char* end, SmbiosFacts& facts) {
    if (length < 0x15) return;
    const unsigned size = word(p + 0x0C);
    if (size == 0) return;   // an empty slot
    if (facts.modules.size() == kModuleLimit) {
        facts.modulesCut = true;
        return;
    }
    MemoryModule module;
    if (size == 0x7FFF && length >= 0x20) module.sizeBytes = static_cast<uint64_t>(dword(p + 0x1C) & 0x7FFFFFFF) << 20;
    else if (size != 0xFFFF) module.sizeBytes = static_cast<uint64_t>(size & 0x7FFF) << (size & 0x8000 ? 10 : 20);
    module.slot = smbiosString(strings, end, p[0x10]);
    module.bank = smbiosString(strings, end, p[0x11]);
    if (length >= 0x1B) {
        module.speedMHz = word(p + 0x15);
        module.manufacturer = smbiosString(strings, end, p[0x17]);
        module.serialNumber = smbiosString(strings, end, p[0x18]);
        module.partNumber = smbiosString(strings, end, p[0x1A]);
    }
    facts.modules.push_back(module);
}

}  // namespace

SmbiosFacts ParseSmbiosStructures(const unsigned char* p, size_t size) {
    SmbiosFacts facts;
    const unsigned char* end = p + size;
    bool haveSystem = false;
    while (end - p >= 4) {
        const unsigned char type = p[0], formatted = p[1];
        if (formatted < 4 || formatted > end - p) break;
        const unsigned char* strings = p + formatted;
        if (type == kSystemInformation && !haveSystem && formatted >= 8) {
            facts.identity.manufacturer = smbiosString(strings, end, p[4]);
            facts.identity.model = smbiosString(strings, end, p[5]);
            facts.identity.serialNumber = smbiosString(strings, end, p[7]);
            haveSystem = true;
        } else if (type == kBiosInformation && formatted >= 9) {
            facts.bios.vendor = smbiosString(strings, end, p[4]);
            facts.bios.version = smbiosString(strings, end, p[5]);
            facts.bios.releaseDate = smbiosString(strings, end, p[8]);
        } else if (type == kMemoryDevice) {
            readMemoryDevice(p, formatted, strings, end, facts);
        }
        if (type == kEndOfTable) break;
        const unsigned char* next = strings;
        while (end - next >= 2 && (next[0] || next[1])) ++next;
        if (end - next < 2) break;
        p = next + 2;
    }
    return facts;
}

SmbiosFacts ParseSmbiosFirmwareTable(const std::string& raw) {
    if (raw.size() < 8) return SmbiosFacts();
    const unsigned char* data = reinterpret_cast<const unsigned char*>(raw.data());
    const size_t length = dword(data + 4);
    return ParseSmbiosStructures(data + 8, length < raw.size() - 8 ? length : raw.size() - 8);
}

MachineIdentity ParseSmbios(const std::string& raw) { return ParseSmbiosFirmwareTable(raw).identity; }

}  // namespace machine
