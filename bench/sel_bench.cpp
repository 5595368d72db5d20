// A whole norbix /v /text run over the largest SEL a controller can hold
// (65,535 records, from the scripted controller), against the transport's own
// part of it: reading and parsing the controller's script.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench_data.h"
#include "child_process.h"
#include "figures.h"
#include "scripted_controller.h"
#include "wyxcore/bounded_read.h"

namespace bench {

namespace {

namespace fs = std::filesystem;

const unsigned kRecords = 65535;

// Device ID, SEL Info, SEL Time, a reservation, then the chain of records:
// power supply, memory and fan events in turn, one a second.
void writeScript(const std::string& path) {
    std::ofstream out(path);
    out << "reply 06 01 00 20 81 02 25 02 BF 57 01 00 34 12\n"
        << "reply 0A 40 00 51 FF FF 00 00 00 10 5E 5F 00 00 5E 5F 02\n"
        << "reply 0A 48 00 00 20 5E 5F\n"
        << "reply 0A 42 00 01 00\n";
    static const char* const kEvents[] = {"08 41 6F 01 FF FF", "0C 60 6F A1 00 03", "04 30 01 52 05 0A"};
    char line[128];
    for (unsigned id = 1; id <= kRecords; ++id) {
        const unsigned next = id == kRecords ? 0xFFFF : id + 1, stamp = 0x5F5E0000 + id;
        std::snprintf(line, sizeof line, "reply 0A 43 00 %02X %02X %02X %02X 02 %02X %02X %02X %02X 20 00 04 %s\n",
                      next & 0xFF, next >> 8, id & 0xFF, id >> 8, stamp & 0xFF, (stamp >> 8) & 0xFF,
                      (stamp >> 16) & 0xFF, stamp >> 24, kEvents[id % 3]);
        out << line;
    }
}

void WholeRunSel(benchmark::State& state) {
    const fs::path work = fs::path(WorkDir()) / "run-sel";
    fs::create_directories(work);
    const std::string script = (work / "controller.txt").string();
    writeScript(script);
    const std::vector<std::string> env = {"WYX_IPMI_SCRIPT=" + script, "SYSTEMDRIVE=" + work.string(),
                                          "OSK_INCLUDE=system,sel", "WYX_PLUGIN_DIR=" + BinDir() + "/plugins",
                                          "WYX_SCHEMA_DIR=" + BinDir() + "/schema"};
    double best = 1e300, transport = 1e300, peak = 1e300;
    for (auto _ : state) {
        const fs::path out = work / "out";
        fs::remove_all(out);
        fs::create_directories(out);
        const std::string peakFile = (work / "peak.txt").string();
        const ChildResult run = RunChild("/usr/bin/time", {"-f", "%M", "-o", peakFile, BinDir() + "/norbix", "/v",
                                                           "/text", "/b", "/d", out.string()}, env);
        if (run.status != 0) {
            state.SkipWithError("norbix failed on the SEL script");
            return;
        }
        double peakKiB = 0;
        std::ifstream(peakFile) >> peakKiB;
        peak = std::min(peak, peakKiB * 1024.0);
        best = std::min(best, run.wallSeconds);

        const auto start = std::chrono::steady_clock::now();
        ScriptedController controller;
        bool present = false;
        std::string error;
        ScriptedController::Parse(ReadBoundedFile(script, ipmi::kScriptMax), &controller, &present, &error);
        transport = std::min(transport, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        state.SetIterationTime(run.wallSeconds);
    }
    state.counters[kMeasured] = best;
    state.counters[kReference] = transport;
    state.counters["peak_bytes"] = peak;
    state.counters["records"] = kRecords;
}

}  // namespace

BENCHMARK(WholeRunSel)->UseManualTime()->Iterations(Rounds())->Unit(benchmark::kMillisecond);

}  // namespace bench
