// Whole norbix /v /text runs on the big simulated service processors, and a run
// of this machine alone (every collector, no service processor): wall time and
// the peak memory of the process.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "bench_data.h"
#include "child_process.h"
#include "figures.h"
#include "sp_image_generator.h"
#include "wyxcore/container.h"

namespace bench {

namespace {

namespace fs = std::filesystem;

std::string firstErrorLine(const std::string& output) {
    const size_t at = output.find("ERROR");
    if (at == std::string::npos) return "norbix failed";
    return output.substr(at, output.find('\n', at) - at);
}

// The instances in the run's compressed XML file, or -1 without one.
double instancesWritten(const fs::path& dir) {
    for (const auto& entry : fs::directory_iterator(dir)) {
        const std::string name = entry.path().filename().string();
        if (name.size() > 7 && name.compare(name.size() - 7, 7, ".xml.gz") == 0) {
            TContainer container(TContainer::kEmpty);
            container.PopulateContainerFromFile(entry.path().string());
            double count = 0;
            for (const TCIMClass* cimClass : container.GetClasses()) count += cimClass->GetInstanceCount();
            return count;
        }
    }
    return -1;
}

enum class Image { Dot, Tolm, None };

void wholeRun(benchmark::State& state, Image kind) {
    const bool dot = kind == Image::Dot;
    const std::string norbix = BinDir() + "/norbix";
    const fs::path work = fs::path(WorkDir()) / (dot ? "run-ulk" : kind == Image::Tolm ? "run-tolm" : "run-machine");
    fs::create_directories(work / "dmi");
    for (const char* item : {"sys_vendor", "product_name", "product_serial"})
        std::ofstream((work / "dmi" / item).string()) << (std::string(item) == "product_name" ? "8842-AB1" : "BENCH1")
                                                      << "\n";
    const std::string image = (work / "sp.image").string();
    if (dot) WriteDotImage(image, 2, UlkEntriesPerProcessor());
    else if (kind == Image::Tolm) WriteTolmImage(image, 200);
    const std::vector<std::string> env = {"VANT_SP_IMAGE=" + (kind == Image::None ? std::string() : image),
                                          "WYX_DMI_DIR=" + (work / "dmi").string(), "SYSTEMDRIVE=" + work.string(),
                                          "WYX_PLUGIN_DIR=" + BinDir() + "/plugins",
                                          "WYX_SCHEMA_DIR=" + BinDir() + "/schema"};
    double best = 1e300, peak = 1e300, instances = 0;
    bool xmlOnly = kind == Image::None;
    for (auto _ : state) {
        const fs::path out = work / "out";
        fs::remove_all(out);
        fs::create_directories(out);
        std::vector<std::string> args = {"/b", "/d", out.string()};
        if (kind == Image::Tolm) args.push_back("/f");   // the whole TRAV log, not only its last entries
        if (!xmlOnly) args.insert(args.begin(), {"/v", "/text"});
        // Through time(1): a child started from this big process would count its size as its own peak.
        const std::string peakFile = (work / "peak.txt").string();
        args.insert(args.begin(), {"-f", "%M", "-o", peakFile, norbix});
        ChildResult run = RunChild("/usr/bin/time", args, env);
        if (run.status != 0 && !xmlOnly && run.output.find("ERROR: Couldn't find ") != std::string::npos) {
            // A tree without the HTML or Text writer: measure the XML-only run instead, and say so.
            xmlOnly = true;
            args.erase(args.begin() + 5, args.begin() + 7);
            fs::remove_all(out);
            fs::create_directories(out);
            run = RunChild("/usr/bin/time", args, env);
        }
        if (run.status != 0) {
            state.SkipWithError(firstErrorLine(run.output).c_str());
            return;
        }
        best = std::min(best, run.wallSeconds);
        double peakKiB = 0;
        std::ifstream(peakFile) >> peakKiB;
        peak = std::min(peak, peakKiB * 1024.0);
        instances = instancesWritten(out);
        state.SetIterationTime(run.wallSeconds);
    }
    state.counters[kMeasured] = best;
    state.counters["peak_bytes"] = peak;
    state.counters["instances"] = instances;
    state.counters["xml_only"] = xmlOnly ? 1 : 0;
}

void WholeRunUlk(benchmark::State& state) { wholeRun(state, Image::Dot); }
void WholeRunTolm(benchmark::State& state) { wholeRun(state, Image::Tolm); }
void WholeRunMachine(benchmark::State& state) { wholeRun(state, Image::None); }

}  // namespace

BENCHMARK(WholeRunUlk)->UseManualTime()->Iterations(Rounds())->Unit(benchmark::kMillisecond);
BENCHMARK(WholeRunTolm)->UseManualTime()->Iterations(Rounds())->Unit(benchmark::kMillisecond);
BENCHMARK(WholeRunMachine)->UseManualTime()->Iterations(Rounds())->Unit(benchmark::kMillisecond);

}  // namespace bench
