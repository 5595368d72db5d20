// The HTML writer on a class of 100,000 instances: every page must stay small
// enough for a browser to open in under a second. Opening is timed in headless
// Chromium, less the time it takes to open an empty page.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "bench_data.h"
#include "child_process.h"
#include "container_generator.h"
#include "figures.h"
#include "wyxcore/container.h"
#include "wyxcore/plugin.h"

namespace bench {

namespace {

namespace fs = std::filesystem;

const char kChromium[] = "/usr/bin/chromium";

// A page that takes longer than this is stopped: its figure reads "> limit".
const int kOpenLimitSeconds = 30;

// Seconds to open the page, kOpenLimitSeconds when stopped, -1 when Chromium fails.
double openSeconds(const fs::path& page, const fs::path& profile) {
    const ChildResult run = RunChild("/usr/bin/timeout", {std::to_string(kOpenLimitSeconds), kChromium, "--headless", "--no-sandbox", "--disable-gpu", "--no-first-run",
                                                 "--disable-background-networking", "--disable-component-update",
                                                 "--user-data-dir=" + profile.string(), "--dump-dom",
                                                 "file://" + page.string()});
    if (run.status == 124) return kOpenLimitSeconds;
    return run.status == 0 ? run.wallSeconds : -1;
}

void HtmlPages(benchmark::State& state) {
    IPlugin* plugin = LoadedPlugin("html.pi.so");
    IPluginWriteCallbacks* writer = plugin ? dynamic_cast<IPluginWriteCallbacks*>(plugin->GetCallbacks()) : nullptr;
    if (!writer) {
        state.SkipWithError("no HTML writer plug-in in this build");
        return;
    }
    if (!fs::exists(kChromium)) {
        state.SkipWithError("no Chromium to open the pages");
        return;
    }
    std::unique_ptr<TContainer> container(new TContainer());
    FillLogEntries(container.get(), 100000);
    const fs::path work = fs::path(WorkDir()) / "html";
    const fs::path blank = work / "blank.html";
    fs::create_directories(work);
    std::ofstream(blank.string()) << "<!DOCTYPE html><title>blank</title>\n";
    double slowest = 0, largest = 0, pages = 0, written = 0;
    for (auto _ : state) {
        const fs::path out = work / "report";
        fs::remove_all(out);
        const auto start = std::chrono::steady_clock::now();
        writer->WriteContainer(container.get(), out.string());
        written = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        fs::path biggest;
        pages = largest = 0;
        for (const auto& entry : fs::recursive_directory_iterator(out)) {
            if (!entry.is_regular_file() || entry.path().extension() != ".html") continue;
            ++pages;
            const double size = static_cast<double>(entry.file_size());
            if (size > largest) {
                largest = size;
                biggest = entry.path();
            }
        }
        const double base = openSeconds(blank, work / "profile");
        slowest = 0;
        for (const fs::path& page : {out / "index.html", biggest}) {
            const double seconds = openSeconds(page, work / "profile");
            if (seconds < 0 || base < 0) {
                state.SkipWithError("Chromium could not open the pages");
                return;
            }
            slowest = std::max(slowest, seconds - base);
        }
        state.SetIterationTime(written);
    }
    state.counters[kMeasured] = slowest;
    state.counters["write_s"] = written;
    state.counters["pages"] = pages;
    state.counters["largest_bytes"] = largest;
    state.counters["limit_s"] = kOpenLimitSeconds;
}

}  // namespace

BENCHMARK(HtmlPages)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace bench
