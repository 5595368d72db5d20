#include "path_split.h"

namespace {

std::vector<std::string> splitAt(const std::string& text, const std::string& separators, size_t width) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (start < text.size()) {
        const size_t next = width == 0 ? std::string::npos
                            : separators.size() == width ? text.find(separators, start)
                                                         : text.find_first_of(separators, start);
        if (next == std::string::npos) {
            parts.push_back(text.substr(start));
            break;
        }
        parts.push_back(text.substr(start, next - start));
        start = next + width;
    }
    return parts;
}

}  // namespace

std::vector<std::string> splitPath(const std::string& path, const std::string& separator) {
    return splitAt(path, separator, separator.size());
}

std::vector<std::string> splitPluginNames(const std::string& value) { return splitAt(value, " ,;", 1); }
