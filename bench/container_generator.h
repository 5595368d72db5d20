#ifndef NORBIX_BENCH_CONTAINER_GENERATOR_H
#define NORBIX_BENCH_CONTAINER_GENERATOR_H

#include <cstddef>

class TContainer;

namespace bench {

// Fills container with count instances spread over three classes that together
// use every scalar CIM type; texts carry markup characters, 8-bit and control
// bytes now and then, as real logs do. The same count gives the same container.
void FillContainer(TContainer* container, size_t count);
// Only the log-entry class of FillContainer, count instances of it.
void FillLogEntries(TContainer* container, size_t count);

}  // namespace bench

#endif
