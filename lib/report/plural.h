#ifndef NORBIX_PLURAL_H
#define NORBIX_PLURAL_H

#include <cstddef>
#include <string>

// A count and its noun as read: "1 instance", "0 instances", "3 instances".
std::string Counted(size_t count, const std::string& one, const std::string& many);

// The same for a noun made plural by an "s": "1 group", "2 groups".
std::string Counted(size_t count, const std::string& noun);

#endif
