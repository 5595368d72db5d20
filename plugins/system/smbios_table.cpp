#include "smbios_table.h"

namespace machine {

namespace {

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

}  // namespace

MachineIdentity ParseSmbios(const std::string& raw) {
    MachineIdentity identity;
    if (raw.size() < 8) return identity;
    const unsigned char* data = reinterpret_cast<const unsigned char*>(raw.data());
    const size_t length = data[4] | data[5] << 8 | data[6] << 16 | static_cast<size_t>(data[7]) << 24;
    const unsigned char* p = data + 8;
    const unsigned char* end = p + (length < raw.size() - 8 ? length : raw.size() - 8);
    while (end - p >= 4) {
        const unsigned char type = p[0], formatted = p[1];
        if (formatted < 4 || formatted > end - p) break;
        const unsigned char* strings = p + formatted;
        if (type == 1) {
            if (formatted >= 8) {
                identity.manufacturer = smbiosString(strings, end, p[4]);
                identity.model = smbiosString(strings, end, p[5]);
                identity.serialNumber = smbiosString(strings, end, p[7]);
            }
            break;
        }
        if (type == 127) break;
        const unsigned char* next = strings;
        while (end - next >= 2 && (next[0] || next[1])) ++next;
        if (end - next < 2) break;
        p = next + 2;
    }
    return identity;
}

}  // namespace machine
