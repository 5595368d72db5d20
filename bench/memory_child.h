#ifndef NORBIX_BENCH_MEMORY_CHILD_H
#define NORBIX_BENCH_MEMORY_CHILD_H

#include <string>

namespace bench {

// Peak memory is measured in a fresh process (the benchmark's own executable
// started again), so that nothing the benchmarks hold counts.
//   --memory-child write COUNT PATH: builds COUNT instances, writes them to PATH
//   --memory-child read PATH: reads PATH into an empty container
// Prints "peak_bytes container_bytes": for write, the peak beyond the built
// container and the container's own size; for read, the peak beyond the empty
// process and what stays once the read is done.
int RunMemoryChild(int argc, char** argv);

struct MemoryFigures {
    double peakBytes;
    double containerBytes;
};
MemoryFigures MeasureWrite(size_t count, const std::string& path);
MemoryFigures MeasureRead(const std::string& path);

}  // namespace bench

#endif
