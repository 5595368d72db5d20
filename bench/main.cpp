// norbix benchmarks: runs every figure and prints them as a table.
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <cstring>
#include <iostream>

#include "figures.h"
#include "memory_child.h"

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--memory-child") == 0) return bench::RunMemoryChild(argc, argv);
    // Freed memory stays with the process, so that a figure and its reference
    // both run on a warm heap and neither pays the other's page faults.
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
    mallopt(M_MMAP_THRESHOLD, 1 << 30);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
    bench::FigureReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintFigures(std::cout);
    benchmark::Shutdown();
    return 0;
}
