#ifndef NORBIX_FLEET_STORE_TEXT_H
#define NORBIX_FLEET_STORE_TEXT_H

#include <string>

// Text as the store keeps it: UTF-8 whatever the collection held, read as the
// reports read 8-bit text (valid UTF-8 as it is, any other byte as code page
// 1252), NUL as its control picture; so both databases take every value and
// hold the same.
std::string StoreText(const std::string& text);

#endif
