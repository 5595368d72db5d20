#include "wyxcore/safe_name.h"

#include <boost/algorithm/string/case_conv.hpp>

namespace {

bool isSafe(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
           c == '.';
}

// Names that Windows takes for a device, in any case, with or without an extension.
bool isDeviceName(const std::string& name) {
    static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL", "COM", "LPT", "CONIN$", "CONOUT$"};
    const std::string stem = boost::algorithm::to_upper_copy(name.substr(0, name.find('.')));
    for (const char* device : kDevices) {
        const std::string d = device;
        if (d == "COM" || d == "LPT") {
            if (stem.size() == 4 && stem.compare(0, 3, d) == 0 && stem[3] >= '1' && stem[3] <= '9') return true;
        } else if (stem == d) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::string SafeNamePart(const std::string& text, size_t max) {
    std::string name;
    for (unsigned char c : text.substr(0, max)) name += isSafe(c) ? static_cast<char>(c) : '_';
    if (name.empty()) return "_";
    // Neither "." nor "..", nor a hidden name; Windows drops a trailing dot.
    if (name.front() == '.') name.front() = '_';
    if (name.back() == '.') name.back() = '_';
    if (isDeviceName(name)) name.insert(0, "_");
    if (name.size() > max) name.pop_back();
    return name;
}
