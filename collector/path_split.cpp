#include "path_split.h"

std::vector<std::string> splitPath(const std::string& path, const std::string& separator) {
    std::vector<std::string> parts;
    if (separator.empty()) {
        if (!path.empty()) parts.push_back(path);
        return parts;
    }
    size_t start = 0;
    while (start < path.size()) {
        const size_t next = path.find(separator, start);
        if (next == std::string::npos) {
            parts.push_back(path.substr(start));
            break;
        }
        parts.push_back(path.substr(start, next - start));
        start = next + separator.size();
    }
    return parts;
}
