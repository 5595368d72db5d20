// What masking adds to a whole run: norbix re-writing the 200,000-instance
// file with WYX_MASK (every kind, and two words that occur in most messages, so
// that many values change) against the same run without it.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "bench_data.h"
#include "child_process.h"
#include "figures.h"

namespace bench {

namespace {

namespace fs = std::filesystem;

void MaskedRun(benchmark::State& state) {
    const fs::path work = fs::path(WorkDir()) / "masked-run";
    fs::create_directories(work);
    std::ofstream((work / "words.txt").string()) << "restart\nPCI\n";
    const std::vector<std::string> common = {"SYSTEMDRIVE=" + work.string(), "WYX_PLUGIN_DIR=" + BinDir() + "/plugins",
                                             "WYX_SCHEMA_DIR=" + BinDir() + "/schema"};
    std::vector<std::string> masked = common;
    masked.push_back("WYX_MASK=all,serials");
    masked.push_back("WYX_MASK_WORDS=" + (work / "words.txt").string());
    masked.push_back("WYX_MASK_MAP=" + (work / "map.txt").string());
    const std::string input = BigFile();
    double best = 1e300, reference = 1e300;
    for (auto _ : state) {
        for (const bool mask : {false, true}) {
            const fs::path out = work / (mask ? "masked" : "plain");
            fs::remove_all(out);
            fs::create_directories(out);
            const ChildResult run =
                RunChild(BinDir() + "/norbix", {"/b", "/d", out.string(), "/i", input}, mask ? masked : common);
            if (run.status != 0) {
                state.SkipWithError(("norbix failed: " + run.output.substr(0, 200)).c_str());
                return;
            }
            (mask ? best : reference) = std::min(mask ? best : reference, run.wallSeconds);
        }
        state.SetIterationTime(best);
    }
    state.counters[kMeasured] = best;
    state.counters[kReference] = reference;
    state.counters["instances"] = static_cast<double>(InstanceCount());
}

}  // namespace

BENCHMARK(MaskedRun)->UseManualTime()->Iterations(Rounds())->Unit(benchmark::kMillisecond);

}  // namespace bench
