#ifndef NORBIX_BENCH_SP_IMAGE_GENERATOR_H
#define NORBIX_BENCH_SP_IMAGE_GENERATOR_H

#include <cstddef>
#include <string>

namespace bench {

// A simulated dot-command service processor: processors, each with its clock,
// time zone and entriesEach ULK entries laid out as the shipped
// quarnelentry.txt describes them.
void WriteDotImage(const std::string& path, int processors, size_t entriesEach);

// A simulated Tolm service processor whose TRAV log holds entries entries, of
// every event type the decoders know (and of one they do not) in turn.
void WriteTolmImage(const std::string& path, size_t entries);

}  // namespace bench

#endif
