#ifndef NORBIX_MAP_FILE_H
#define NORBIX_MAP_FILE_H

#include <cstddef>
#include <stdexcept>
#include <string>

#include "pseudonym_map.h"

// The pseudonym map on disk: a private text file, a header line, then one
// line per value: kind, value, pseudonym, separated by tabs.
extern const char* const kMapFileHeader;
const size_t kMapFileMax = 64u << 20;

// A map file that cannot be used; what() is a sentence for the user.
class MaskMapError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

std::string SerializeMap(const PseudonymMap& map);
// False, with the line that is wrong in *problem, for a text that is not a
// whole map of ours; *map is then unchanged.
bool ParseMap(const std::string& text, PseudonymMap* map, std::string* problem);

// A missing file leaves the map empty; throws MaskMapError for one that is a
// link, someone else's, open to others, too large, not ours or damaged.
void LoadMapFile(const std::string& path, PseudonymMap* map);
// Throws MaskMapError when the file cannot be written.
void SaveMapFile(const std::string& path, PseudonymMap* map);

#endif
