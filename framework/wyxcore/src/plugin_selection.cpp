#include "wyxcore/os_specific.h"
#include "wyxcore/plugin.h"

std::string PluginSelectionName(const std::string& fileName, const std::string& extension,
                                const std::string& separator) {
    size_t end = extension.empty() ? std::string::npos : fileName.rfind(extension);
    if (end == std::string::npos) end = fileName.size();
    size_t start = end == 0 || separator.empty() ? std::string::npos : fileName.rfind(separator, end - 1);
    start = start == std::string::npos ? 0 : start + separator.size();
    if (start > end) start = end;
    return fileName.substr(start, end - start);
}

std::string PluginSelectionName(const std::string& fileName) {
    return PluginSelectionName(fileName, TOSSpecific::kPluginExtension, TOSSpecific::kFileSeparator);
}
