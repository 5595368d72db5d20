// The Health collector on a fake server: 48 DIMMs, 24 disks (a smartctl
// stand-in that answers at once) and 10,000 RAS daemon records, against the
// same run without it: the time and the peak memory it adds.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench_data.h"
#include "child_process.h"
#include "figures.h"

namespace bench {

namespace {

namespace fs = std::filesystem;

const int kDimms = 48, kDisks = 24, kRecords = 10000;

void write(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path.string(), std::ios::binary) << text;
}

void fakeServer(const fs::path& work) {
    const fs::path root = work / "root";
    for (const char* item : {"sys_vendor", "product_name", "product_serial"})
        write(work / "dmi" / item, std::string(item) == "product_name" ? "8842-AB1\n" : "BENCH1\n");
    const fs::path mc = root / "sys/devices/system/edac/mc/mc0";
    write(mc / "ce_count", "48\n");
    for (int i = 0; i < kDimms; ++i) {
        const fs::path dimm = mc / ("dimm" + std::to_string(i));
        write(dimm / "dimm_label", "DIMM_" + std::to_string(i) + "\n");
        write(dimm / "size", "32768\n");
        write(dimm / "dimm_ce_count", "1\n");
        write(dimm / "dimm_ue_count", "0\n");
    }
    std::string scan = "{\"devices\": [";
    for (int i = 0; i < kDisks; ++i)
        scan += std::string(i ? "," : "") + "{\"name\": \"/dev/sd" + std::string(1, char('a' + i)) +
                "\", \"type\": \"sat\"}";
    write(work / "answers/scan.json", scan + "]}");
    std::string table;
    for (int id = 1; id <= 30; ++id)
        table += std::string(id > 1 ? "," : "") + "{\"id\": " + std::to_string(id) +
                 ", \"name\": \"Attribute\", \"value\": 100, \"worst\": 100, \"thresh\": 10, \"when_failed\": \"\","
                 " \"raw\": {\"value\": 0, \"string\": \"0\"}}";
    write(work / "answers/disk.json",
          "{\"smartctl\": {\"exit_status\": 0}, \"device\": {\"protocol\": \"ATA\"}, \"model_name\": \"VARN HD\","
          " \"serial_number\": \"S1\", \"smart_status\": {\"passed\": true}, \"temperature\": {\"current\": 30},"
          " \"ata_smart_attributes\": {\"table\": [" +
              table + "]}}");
    const fs::path tool = work / "tools/smartctl";
    write(tool, "#!/bin/sh\ncase \"$*\" in\n  *--scan-open*) exec cat '" + (work / "answers/scan.json").string() +
                    "' ;;\n  *) exec cat '" + (work / "answers/disk.json").string() + "' ;;\nesac\n");
    fs::permissions(tool, fs::perms::owner_all);
    const fs::path db = root / "var/lib/rasdaemon/ras-mc_event.db";
    fs::create_directories(db.parent_path());
    fs::remove(db);
    sqlite3* handle = nullptr;
    sqlite3_open(db.string().c_str(), &handle);
    const std::string sql =
        "CREATE TABLE mce_record (id INTEGER PRIMARY KEY, timestamp TEXT, status INTEGER, cpu INTEGER,"
        " bank_name TEXT, error_msg TEXT, mcistatus_msg TEXT);"
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " +
        std::to_string(kRecords) +
        ")"
        " INSERT INTO mce_record (timestamp, status, cpu, bank_name, error_msg, mcistatus_msg)"
        " SELECT strftime('%Y-%m-%d %H:%M:%S +0000', 1796000000 + i * 60, 'unixepoch'), 0, i % 64, 'L2',"
        " 'cache error', 'Corrected error' FROM n;";
    sqlite3_exec(handle, sql.c_str(), nullptr, nullptr, nullptr);
    sqlite3_close(handle);
}

// One run of norbix with the named plug-ins: its wall time and peak bytes.
bool run(const fs::path& work, const std::vector<std::string>& plugins, double* seconds, double* peak,
         std::string* error) {
    const fs::path dir = work / ("plugins-" + std::to_string(plugins.size()));
    fs::create_directories(dir);
    for (const std::string& plugin : plugins)
        fs::copy_file(BinDir() + "/plugins/" + plugin + ".pi.so", dir / (plugin + ".pi.so"),
                      fs::copy_options::overwrite_existing);
    const fs::path out = work / "out";
    fs::remove_all(out);
    fs::create_directories(out);
    const std::string peakFile = (work / "peak.txt").string();
    const char* path = std::getenv("PATH");
    const ChildResult result = RunChild(
        "/usr/bin/time", {"-f", "%M", "-o", peakFile, BinDir() + "/norbix", "/b", "/d", out.string()},
        {"WYX_PLUGIN_DIR=" + dir.string(), "WYX_SCHEMA_DIR=" + BinDir() + "/schema",
         "WYX_SYSFS_ROOT=" + (work / "root").string(), "WYX_DMI_DIR=" + (work / "dmi").string(),
         "SYSTEMDRIVE=" + work.string(), "PATH=" + (work / "tools").string() + ":" + (path ? path : "/usr/bin:/bin")});
    if (result.status != 0) {
        *error = "norbix failed: " + result.output.substr(0, 200);
        return false;
    }
    *seconds = result.wallSeconds;
    double kib = 0;
    std::ifstream(peakFile) >> kib;
    *peak = kib * 1024;
    return true;
}

void HealthCollector(benchmark::State& state) {
    const fs::path work = fs::path(WorkDir()) / "health";
    fakeServer(work);
    double best = 1e300, reference = 1e300, peak = 1e300, referencePeak = 1e300;
    for (auto _ : state) {
        double seconds = 0, bytes = 0;
        std::string error;
        if (!run(work, {"system", "xml", "health"}, &seconds, &bytes, &error)) {
            state.SkipWithError(error.c_str());
            return;
        }
        best = std::min(best, seconds);
        peak = std::min(peak, bytes);
        state.SetIterationTime(seconds);
        if (!run(work, {"system", "xml"}, &seconds, &bytes, &error)) {
            state.SkipWithError(error.c_str());
            return;
        }
        reference = std::min(reference, seconds);
        referencePeak = std::min(referencePeak, bytes);
    }
    state.counters[kMeasured] = best;
    state.counters[kReference] = reference;
    state.counters["peak_bytes"] = peak;
    state.counters["reference_peak_bytes"] = referencePeak;
}

}  // namespace

BENCHMARK(HealthCollector)->UseManualTime()->Iterations(Rounds())->Unit(benchmark::kMillisecond);

}  // namespace bench
