#include "map_file.h"

#include "wyxcore/exception.h"
#include "wyxcore/flat.h"
#include "wyxcore/output_file.h"
#include "wyxcore/private_file.h"

const char* const kMapFileHeader = "# norbix mask map 1";

std::string SerializeMap(const PseudonymMap& map) {
    std::string text = std::string(kMapFileHeader) + "\n";
    for (const PseudonymMap::Entry& entry : map.Entries())
        text += std::string(MaskKindName(entry.kind)) + "\t" + entry.original + "\t" + entry.pseudonym + "\n";
    return text;
}

bool ParseMap(const std::string& text, PseudonymMap* map, std::string* problem) {
    const std::string header = std::string(kMapFileHeader) + "\n";
    if (text.compare(0, header.size(), header) != 0) {
        *problem = "is not a norbix mask map";
        return false;
    }
    PseudonymMap result;
    size_t start = header.size();
    unsigned long line = 1;
    while (start < text.size()) {
        ++line;
        const size_t end = text.find('\n', start);
        const std::string row = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        const size_t tab1 = row.find('\t');
        const size_t tab2 = tab1 == std::string::npos ? std::string::npos : row.find('\t', tab1 + 1);
        PseudonymMap::Entry entry;
        if (end == std::string::npos || tab2 == std::string::npos || row.find('\t', tab2 + 1) != std::string::npos ||
            !MaskKindFromName(row.substr(0, tab1), &entry.kind)) {
            *problem = "is damaged at line " + std::to_string(line);
            return false;
        }
        entry.original = row.substr(tab1 + 1, tab2 - tab1 - 1);
        entry.pseudonym = row.substr(tab2 + 1);
        if (!result.Restore(entry)) {
            *problem = "is damaged at line " + std::to_string(line);
            return false;
        }
        start = end + 1;
    }
    result.MarkSaved();
    *map = std::move(result);
    return true;
}

void LoadMapFile(const std::string& path, PseudonymMap* map) {
    std::string content;
    std::string problem;
    switch (ReadPrivateFile(path, kMapFileMax, &content, &problem)) {
    case kPrivateFileMissing: return;
    case kPrivateFileRefused: throw MaskMapError(problem);
    case kPrivateFileRead: break;
    }
    if (!ParseMap(content, map, &problem)) throw MaskMapError(problem);
}

void SaveMapFile(const std::string& path, PseudonymMap* map) {
    try {
        WriteOutputFile(path, SerializeMap(*map));
    } catch (const TWYXException& e) {
        throw MaskMapError(std::string("cannot be written: ") + wyxTranslateStatusCode(e.GetStatus()));
    }
    map->MarkSaved();
}
