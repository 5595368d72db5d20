// The HTML writer on a class of 100,000 instances and the findings about its
// entries of error severity: the index and every page must stay small enough
// for a browser to open in under a second. Opening is timed in headless
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

// Rounds of openings; each page's figure is its best round. The pages of a
// round are opened one after the other, so a shared machine's changing load
// falls on the blank page and the measured ones alike, and only ever adds time.
const int kOpenRounds = 5;

// One finding per entry of error severity, as the analysis leaves them about a
// big service-processor log: the index lists findings and links each to the
// page of its entry.
void addFindings(TContainer* container) {
    const TCIMClass* log = container->FindClass("Bench_EventLogEntry");
    TCIMClass* findings = container->AddClass("VARNSG_AnalysisFinding");
    for (const char* name : {"Severity", "Category", "Description", "SourceClass", "SourceKey", "SourceMessage"})
        findings->DeclareProperty(name, kCIMString);
    for (const TCIMInstance* entry : log->EnumerateInstances(true)) {
        if (entry->GetPropertyValue("Severity")->GetText() != "2") continue;
        TCIMInstance* finding = new TCIMInstance(findings);
        finding->SetPropertyValue("Severity", TCIMValue(std::string("Error")));
        finding->SetPropertyValue("Category", TCIMValue(std::string("Service processor")));
        finding->SetPropertyValue("Description", TCIMValue(std::string("Service-processor log entry of error severity")));
        finding->SetPropertyValue("SourceClass", TCIMValue(std::string("Bench_EventLogEntry")));
        finding->SetPropertyValue("SourceKey", TCIMValue("RecordID=" + entry->GetPropertyValue("RecordID")->GetText()));
        finding->SetPropertyValue("SourceMessage", *entry->GetPropertyValue("Message"));
        finding->Commit();
    }
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
    addFindings(container.get());
    const fs::path work = fs::path(WorkDir()) / "html";
    const fs::path blank = work / "blank.html";
    fs::create_directories(work);
    std::ofstream(blank.string()) << "<!DOCTYPE html><title>blank</title>\n";
    double index = 0, page = 0, largest = 0, indexBytes = 0, pages = 0, written = 0;
    for (auto _ : state) {
        const fs::path out = work / "report";
        fs::remove_all(out);
        const auto start = std::chrono::steady_clock::now();
        writer->WriteContainer(container.get(), out.string());
        written = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        // The largest page holds the most to lay out: the slowest to open.
        fs::path biggest;
        pages = largest = 0;
        for (const auto& entry : fs::recursive_directory_iterator(out)) {
            if (!entry.is_regular_file() || entry.path().extension() != ".html") continue;
            ++pages;
            const double size = static_cast<double>(entry.file_size());
            if (entry.path().filename() == "index.html") indexBytes = size;
            else if (size > largest) {
                largest = size;
                biggest = entry.path();
            }
        }
        const fs::path opened[] = {blank, out / "index.html", biggest};
        double best[3] = {-1, -1, -1};
        for (int round = 0; round < kOpenRounds; ++round) {
            for (int i = 0; i < 3; ++i) {
                if (best[i] >= kOpenLimitSeconds) continue;   // once stopped is enough
                const double seconds = openSeconds(opened[i], work / "profile");
                if (seconds < 0) {
                    state.SkipWithError("Chromium could not open the pages");
                    return;
                }
                if (best[i] < 0 || seconds < best[i]) best[i] = seconds;
            }
        }
        index = std::max(0.0, best[1] - best[0]);
        page = std::max(0.0, best[2] - best[0]);
        state.SetIterationTime(written);
    }
    state.counters[kMeasured] = std::max(index, page);
    state.counters["index_s"] = index;
    state.counters["page_s"] = page;
    state.counters["write_s"] = written;
    state.counters["pages"] = pages;
    state.counters["largest_bytes"] = largest;
    state.counters["index_bytes"] = indexBytes;
    state.counters["limit_s"] = kOpenLimitSeconds;
}

}  // namespace

BENCHMARK(HtmlPages)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace bench
