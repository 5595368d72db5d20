#include "tolm_text.h"

#include "vantlib/SPLibrary.h"

int tolmBoxId(SPLibrary& library) { return library.gettolmBoxID() & 0xFF; }

std::string numberList(const std::vector<int>& numbers) {
    std::string text;
    for (size_t i = 0; i < numbers.size(); ++i) {
        if (i) text += ", ";
        text += std::to_string(numbers[i]);
    }
    return text;
}

std::string nameList(unsigned int flags, const char* const names[8]) {
    int last = -1;
    for (int bit = 0; bit < 8; ++bit)
        if (names[bit]) last = bit;
    std::string text;
    for (int bit = 0; bit < 8; ++bit) {
        if (!(flags & (1u << bit)) || !names[bit]) continue;
        text += names[bit];
        if (bit != last && (flags >> (bit + 1)) != 0) text += ", ";
    }
    return text;
}
