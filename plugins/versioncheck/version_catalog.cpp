#include "version_catalog.h"

#include <set>
#include <sstream>

#include <boost/algorithm/string/case_conv.hpp>

#include "wyxcore/bounded_read.h"
#include "wyxcore/exception.h"
#include "wyxcore/os_specific.h"
#include "wyxcore/status.h"

const char kCatalogFileName[] = "catalog.txt";

namespace {

// Far beyond any catalog of components: a larger file is not one.
const size_t kCatalogMax = 1024 * 1024;

std::string trim(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return std::string();
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

}  // namespace

std::vector<CatalogEntry> ParseCatalog(const std::string& text, const std::string& fileName) {
    std::vector<CatalogEntry> entries;
    std::set<std::string> seen;
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        const std::string content = trim(line);
        if (content.empty() || content[0] == '#') continue;
        const std::string where = fileName + " line " + std::to_string(number) + ": ";
        const size_t comma = content.rfind(',');
        if (comma == std::string::npos)
            throw TWYXException(kWyxFileBadValue, where + "expected \"component, version\"");
        CatalogEntry entry{trim(content.substr(0, comma)), trim(content.substr(comma + 1))};
        if (entry.component.empty()) throw TWYXException(kWyxFileBadValue, where + "no component name");
        if (entry.version.empty()) throw TWYXException(kWyxFileBadValue, where + "no version");
        if (!seen.insert(boost::algorithm::to_lower_copy(entry.component)).second)
            throw TWYXException(kWyxFileBadValue, where + "component \"" + entry.component + "\" listed twice");
        entries.push_back(entry);
    }
    if (entries.empty()) throw TWYXException(kWyxFileBadValue, fileName + ": lists no component");
    return entries;
}

std::vector<CatalogEntry> ReadCatalog(const std::string& path) {
    std::string text;
    try {
        text = ReadBoundedFile(path, kCatalogMax);
    } catch (const TWYXException& e) {
        if (e.GetStatus() == kWyxFileTooLarge) throw TWYXException(kWyxFileTooLarge, "version catalog " + path);
        throw TWYXException(kWyxFileNotFound, "version catalog " + path);
    }
    return ParseCatalog(text, path);
}

std::string CatalogPath(const std::string& directory) {
    const std::string& sep = TOSSpecific::kFileSeparator;
    if (directory.empty()) return kCatalogFileName;
    const char last = directory.back();
    return directory + (last == '/' || std::string(1, last) == sep ? "" : sep) + kCatalogFileName;
}
