#ifndef NORBIX_VERSION_CATALOG_H
#define NORBIX_VERSION_CATALOG_H

#include <string>
#include <vector>

// The catalog of the update media: the file "catalog.txt" in the media
// directory, plain text, one component a line:
//
//     # Comments start with '#'; blank lines are ignored.
//     System BIOS, 1.08
//     Service processor firmware, 2.31a
//
// The version is the text after the last comma, the component the text before
// it; blanks around either are dropped. Line ends LF or CR LF. Component names
// are compared ignoring case and may appear only once.
extern const char kCatalogFileName[];

struct CatalogEntry {
    std::string component;
    std::string version;
};

// Parses a catalog's text; fileName names it in errors. Throws TWYXException
// kWyxFileBadValue naming the line for a line without a comma, an empty
// component or version, or a component listed twice, and for a catalog that
// lists no component.
std::vector<CatalogEntry> ParseCatalog(const std::string& text, const std::string& fileName);

// Reads and parses the catalog of the media directory. Throws TWYXException
// kWyxFileNotFound when it cannot be read.
std::vector<CatalogEntry> ReadCatalog(const std::string& path);

// The catalog's path in the media directory.
std::string CatalogPath(const std::string& directory);

#endif
