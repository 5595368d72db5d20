#include "plural.h"

std::string Counted(size_t count, const std::string& one, const std::string& many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

std::string Counted(size_t count, const std::string& noun) { return Counted(count, noun, noun + "s"); }
