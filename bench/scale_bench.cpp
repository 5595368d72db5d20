// How cost grows: the XML writer and reader and the ULK collection, each at
// three sizes a decade apart. Linear growth shows as the same time per item.
// The time is the process's processor time, so that other work on a shared
// machine does not bend the line (waits for the disk are left out).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <ctime>
#include <cstdlib>
#include <limits>
#include <memory>
#include <string>

#include "bench_data.h"
#include "container_generator.h"
#include "figures.h"
#include "sp_image_generator.h"
#include "wyxcore/cim_xml.h"
#include "wyxcore/container.h"
#include "wyxcore/plugin.h"
#include "wyxcore/query_manager.h"
#include "wyxcore/root_object.h"

namespace bench {

namespace {

struct Clock {
    using time_point = std::clock_t;
    static time_point now() { return std::clock(); }
};

double since(Clock::time_point start) { return double(std::clock() - start) / CLOCKS_PER_SEC; }

// The largest run of each growth is the most costly: three rounds at most.
int scaleRounds() { return std::min(Rounds(), 3); }

// Runs the timed work (which returns its seconds) once per iteration and
// records the best time for items items.
template <typename Work>
void measure(benchmark::State& state, size_t items, Work work) {
    double best = std::numeric_limits<double>::max();
    for (auto _ : state) {
        const double measured = work();
        if (state.error_occurred()) return;
        best = std::min(best, measured);
        state.SetIterationTime(measured);
    }
    state.counters[kMeasured] = best;
    state.counters["items"] = static_cast<double>(items);
}

void XmlWriteGrowth(benchmark::State& state) {
    const size_t count = static_cast<size_t>(state.range(0));
    TContainer container(TContainer::kEmpty);
    FillContainer(&container, count);
    const std::string path = WorkDir() + "/growth.xml.gz";
    measure(state, count, [&] {
        const Clock::time_point start = Clock::now();
        TCIMXMLFile::Write(&container, path);
        return since(start);
    });
}

void XmlReadGrowth(benchmark::State& state) {
    const size_t count = static_cast<size_t>(state.range(0));
    const std::string path = WorkDir() + "/growth-read.xml.gz";
    {
        TContainer source(TContainer::kEmpty);
        FillContainer(&source, count);
        TCIMXMLFile::Write(&source, path);
    }
    measure(state, count, [&] {
        TContainer container(TContainer::kEmpty);
        const Clock::time_point start = Clock::now();
        container.PopulateContainerFromFile(path);
        return since(start);
    });
}

void UlkGrowth(benchmark::State& state) {
    const size_t entries = static_cast<size_t>(state.range(0));
    const std::string image = WorkDir() + "/growth.image";
    WriteDotImage(image, 2, entries / 2);
    setenv("VANT_SP_IMAGE", image.c_str(), 1);
    IPlugin* quarnel = LoadedPlugin("quarnel.pi.so");
    if (!quarnel) {
        state.SkipWithError("quarnel.pi did not load");
        return;
    }
    measure(state, entries, [&] {
        auto container = std::make_unique<TContainer>();
        const Clock::time_point start = Clock::now();
        TRootObject::GetQueryManager()->RunQuery(quarnel, container.get(), {}, 0);
        const double measured = since(start);
        const TCIMClass* ulk = container->FindClass("VARNSG_ULKLog");
        if (!ulk || ulk->GetInstanceCount() != entries / 2 * 2)
            state.SkipWithError("the plug-in did not collect every entry of the image");
        return measured;
    });
}

// Sizes: NORBIX_BENCH_GROWTH (1,000,000 instances; the ULK log a tenth of it)
// and its hundredth and tenth.
void sizes(benchmark::internal::Benchmark* b, size_t top) {
    for (size_t n : {top / 100, top / 10, top}) b->Arg(static_cast<int64_t>(std::max<size_t>(n, 1)));
}
void xmlSizes(benchmark::internal::Benchmark* b) { sizes(b, GrowthTop()); }
void ulkSizes(benchmark::internal::Benchmark* b) { sizes(b, std::max<size_t>(GrowthTop() / 10, 2)); }

}  // namespace

BENCHMARK(XmlWriteGrowth)->Apply(xmlSizes)->UseManualTime()->Iterations(scaleRounds())->Unit(benchmark::kMillisecond);
BENCHMARK(XmlReadGrowth)->Apply(xmlSizes)->UseManualTime()->Iterations(scaleRounds())->Unit(benchmark::kMillisecond);
BENCHMARK(UlkGrowth)->Apply(ulkSizes)->UseManualTime()->Iterations(scaleRounds())->Unit(benchmark::kMillisecond);

}  // namespace bench
