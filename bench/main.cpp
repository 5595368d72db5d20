// norbix benchmarks: runs every figure and prints them as a table.
#include <benchmark/benchmark.h>

#include <cstring>
#include <iostream>

#include "figures.h"
#include "memory_child.h"

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--memory-child") == 0) return bench::RunMemoryChild(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
    bench::FigureReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintFigures(std::cout);
    benchmark::Shutdown();
    return 0;
}
