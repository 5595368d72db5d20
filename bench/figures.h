#ifndef NORBIX_BENCH_FIGURES_H
#define NORBIX_BENCH_FIGURES_H

#include <benchmark/benchmark.h>

#include <map>
#include <ostream>
#include <string>

namespace bench {

// Each benchmark measures its work and the reference for it in the same
// iterations (so a shared machine's changing load hits both alike) and leaves
// the results as counters; this reporter keeps them and prints the table.
class FigureReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override;
    void PrintFigures(std::ostream& out) const;

private:
    typedef std::map<std::string, double> Counters;
    const Counters* find(const std::string& benchmark) const;
    // The growth table, and its data for the plot when NORBIX_BENCH_GROWTH_DATA names a file.
    void printGrowth(std::ostream& out) const;
    std::map<std::string, Counters> results_;
    std::map<std::string, std::string> errors_;
};

// Counter names shared by the benchmarks and the table.
extern const char kMeasured[];    // seconds of the work itself (best iteration)
extern const char kReference[];   // seconds of the reference work (best iteration)

}  // namespace bench

#endif
