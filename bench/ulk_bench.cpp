// ULK collection through the whole plug-in, as a run does it, against the part
// of its work that the plug-in cannot avoid: opening and reading the entry-format
// file once per entry.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <memory>
#include <string>

#include "bench_data.h"
#include "figures.h"
#include "sp_image_generator.h"
#include "wyxcore/container.h"
#include "wyxcore/plugin.h"
#include "wyxcore/query_manager.h"
#include "wyxcore/root_object.h"

namespace bench {

namespace {

typedef std::chrono::steady_clock Clock;

double since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

bool exists(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file) std::fclose(file);
    return file != nullptr;
}

// As the plug-in reads it: lines into a 50-byte buffer up to the end line.
size_t readFormatFile(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "r");
    if (!file) return 0;
    char line[50];
    size_t lines = 0;
    while (std::fgets(line, sizeof line, file)) {
        ++lines;
        if (line[0] == 'd') break;
    }
    std::fclose(file);
    return lines;
}

void UlkCollection(benchmark::State& state) {
    const std::string plugins = BinDir() + "/plugins";
    const std::string formatFile = plugins + "/quarnelentry.txt";
    if (!exists(plugins + "/quarnel.pi.so") || !exists(formatFile)) {
        state.SkipWithError("quarnel.pi is not in this build");
        return;
    }
    const std::string image = WorkDir() + "/ulk.image";
    const size_t entries = 2 * UlkEntriesPerProcessor();
    WriteDotImage(image, 2, UlkEntriesPerProcessor());
    setenv("VANT_SP_IMAGE", image.c_str(), 1);
    IPlugin* quarnel = LoadedPlugin("quarnel.pi.so");
    if (!quarnel) {
        state.SkipWithError("quarnel.pi did not load");
        return;
    }
    double best = std::numeric_limits<double>::max(), bestReference = best;
    for (auto _ : state) {
        double measured;
        {
            std::unique_ptr<TContainer> container(new TContainer());
            const Clock::time_point start = Clock::now();
            TRootObject::GetQueryManager()->RunQuery(quarnel, container.get(), {}, 0);
            measured = since(start);
            const TCIMClass* ulk = container->FindClass("VARNSG_ULKLog");
            if (!ulk || ulk->GetInstanceCount() != entries) {
                state.SkipWithError("the plug-in did not collect every entry of the image");
                return;
            }
        }
        const Clock::time_point start = Clock::now();
        size_t lines = 0;
        for (size_t i = 0; i < entries; ++i) lines += readFormatFile(formatFile);
        benchmark::DoNotOptimize(lines);
        const double reference = since(start);
        best = std::min(best, measured);
        bestReference = std::min(bestReference, reference);
        state.SetIterationTime(measured + reference);
    }
    state.counters[kMeasured] = best;
    state.counters[kReference] = bestReference;
    state.counters["entries"] = static_cast<double>(entries);
}

}  // namespace

BENCHMARK(UlkCollection)->UseManualTime()->Iterations(Rounds())->Unit(benchmark::kMillisecond);

}  // namespace bench
