#include "pci_names.h"

#include <cctype>
#include <map>
#include <utility>

#include <boost/algorithm/string/case_conv.hpp>

namespace pcinames {

namespace {

const size_t kIdDigits = 4;

// "0x8086" and "8086" alike, lower case; empty when not four hex digits.
std::string normalId(const std::string& id) {
    std::string digits = id.compare(0, 2, "0x") == 0 || id.compare(0, 2, "0X") == 0 ? id.substr(2) : id;
    if (digits.size() != kIdDigits) return std::string();
    for (char c : digits)
        if (!std::isxdigit(static_cast<unsigned char>(c))) return std::string();
    return boost::algorithm::to_lower_copy(digits);
}

// "8086  Name" (after any leading tabs): the ID and the name; false when the
// line has no such shape.
bool entry(const std::string& line, size_t start, std::string* id, std::string* name) {
    if (line.size() < start + kIdDigits + 3 || line.compare(start + kIdDigits, 2, "  ") != 0) return false;
    *id = normalId(line.substr(start, kIdDigits));
    *name = line.substr(start + kIdDigits + 2);
    return !id->empty() && !name->empty();
}

}  // namespace

void Name(const std::string& text, std::vector<PciFacts>& devices) {
    // Only the vendors present are kept: the database has tens of thousands of entries.
    std::map<std::string, std::string> vendors;
    std::map<std::pair<std::string, std::string>, std::string> products;
    for (const PciFacts& device : devices) {
        const std::string vendor = normalId(device.vendorId);
        if (vendor.empty()) continue;
        vendors[vendor];
        const std::string product = normalId(device.deviceId);
        if (!product.empty()) products[{vendor, product}];
    }
    if (vendors.empty()) return;

    std::string vendor;   // of the last well-formed vendor line; empty after a malformed one
    size_t at = 0;
    for (size_t end = text.find('\n'); end != std::string::npos; at = end + 1, end = text.find('\n', at)) {
        std::string line = text.substr(at, end - at);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        // The device classes follow the vendors; their lines have the same shape.
        if (line.compare(0, 2, "C ") == 0) break;
        std::string id, name;
        if (line[0] != '\t') {
            vendor = entry(line, 0, &id, &name) ? id : std::string();
            const auto known = vendors.find(vendor);
            if (known != vendors.end() && known->second.empty()) known->second = name;
        } else if (line.size() > 1 && line[1] != '\t' && !vendor.empty() && entry(line, 1, &id, &name)) {
            const auto known = products.find({vendor, id});
            if (known != products.end() && known->second.empty()) known->second = name;
        }
    }

    for (PciFacts& device : devices) {
        const std::string vendorId = normalId(device.vendorId);
        const auto vendorName = vendors.find(vendorId);
        if (vendorName == vendors.end()) continue;
        if (!vendorName->second.empty()) device.manufacturer = vendorName->second;
        const auto productName = products.find({vendorId, normalId(device.deviceId)});
        if (productName != products.end() && !productName->second.empty()) device.name = productName->second;
    }
}

}  // namespace pcinames
