#ifndef QUARNEL_TOLM_TEXT_H
#define QUARNEL_TOLM_TEXT_H

#include <string>
#include <vector>

class SPLibrary;

// Rules shared by the Tolm event decoders.

// Only the low 8 bits of the machine model name the layout.
int tolmBoxId(SPLibrary& library);

// "1, 2, 3".
std::string numberList(const std::vector<int>& numbers);

// singular for a list of exactly one number, else plural.
inline const char* countWord(const std::vector<int>& numbers, const char* singular, const char* plural) {
    return numbers.size() == 1 ? singular : plural;
}

// The names of the set bits of flags, ascending; null names a bit without a
// name. ", " follows a name when a higher bit is set, except after the
// table's last name.
std::string nameList(unsigned int flags, const char* const names[8]);

#endif
