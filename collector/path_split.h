#ifndef NORBIX_PATH_SPLIT_H
#define NORBIX_PATH_SPLIT_H

#include <string>
#include <vector>

// Cuts a path at every separator: adjacent separators give an empty component,
// a separator at the very end gives no empty last component, an empty path none.
std::vector<std::string> splitPath(const std::string& path, const std::string& separator);

#endif
