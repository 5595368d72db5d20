#ifndef HEALTH_COUNTER_TEXT_H
#define HEALTH_COUNTER_TEXT_H

#include <cstdint>
#include <string>
#include <vector>

#include "health_facts.h"

namespace health {

// The kernel keeps its error counters in 32 bits: a larger count is no reading.
const uint64_t kCounterLimit = 0xFFFFFFFFull;

// A decimal count of at most limit; unknown, with a note naming where and
// what was there, for anything else (a sign, letters, an absurd size).
Count CountOf(const std::string& text, uint64_t limit, const std::string& where, std::vector<std::string>& notes);
// The same, read from a kernel attribute file; an absent file is unknown
// without a note.
Count ReadCount(const std::string& absolute, uint64_t limit, std::vector<std::string>& notes);
// A value from a source as a note may quote it: cut short, control and
// 8-bit bytes as \xNN.
std::string Quoted(const std::string& text);

}  // namespace health

#endif
