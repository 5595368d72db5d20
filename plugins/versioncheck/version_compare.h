#ifndef NORBIX_VERSION_COMPARE_H
#define NORBIX_VERSION_COMPARE_H

#include <string>

// Compares two version texts: negative when a is older, 0 when equal, positive
// when newer. Runs of digits compare as numbers ("1.10" is newer than "1.9",
// "01" equals "1"), other characters ignoring case; "." "-" "_" and blanks only
// separate. A version that is a prefix of the other is the older ("2.3" before
// "2.3.1", "2.31" before "2.31a").
int CompareVersions(const std::string& a, const std::string& b);

#endif
