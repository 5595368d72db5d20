// The CIM-XML writer and reader against the work they cannot avoid: zlib
// compressing the same bytes, and zlib inflating plus pugixml parsing them.
#include <benchmark/benchmark.h>
#include <pugixml.hpp>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <string>

#include "bench_data.h"
#include "figures.h"
#include "inflate_file.h"
#include "memory_child.h"
#include "wyxcore/cim_xml.h"
#include "wyxcore/container.h"

namespace bench {

namespace {

typedef std::chrono::steady_clock Clock;

double since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// What the writer must do at least: gzip the bytes at its level in one go.
size_t zlibCompress(const std::string& data, std::string* out) {
    z_stream zs;
    std::memset(&zs, 0, sizeof zs);
    if (deflateInit2(&zs, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        throw std::runtime_error("deflateInit2");
    out->resize(deflateBound(&zs, data.size()));
    zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    zs.avail_in = static_cast<uInt>(data.size());
    zs.next_out = reinterpret_cast<Bytef*>(&(*out)[0]);
    zs.avail_out = static_cast<uInt>(out->size());
    const int rc = deflate(&zs, Z_FINISH);
    const size_t written = zs.total_out;
    deflateEnd(&zs);
    if (rc != Z_STREAM_END) throw std::runtime_error("deflate");
    return written;
}

void XmlWrite(benchmark::State& state) {
    const TContainer& container = BigContainer();
    const std::string& xml = BigXml();
    const std::string path = WorkDir() + "/write.xml.gz";
    std::string compressed;
    double best = std::numeric_limits<double>::max(), bestReference = best;
    for (auto _ : state) {
        Clock::time_point start = Clock::now();
        TCIMXMLFile::Write(&container, path);
        const double measured = since(start);
        start = Clock::now();
        benchmark::DoNotOptimize(zlibCompress(xml, &compressed));
        const double reference = since(start);
        best = std::min(best, measured);
        bestReference = std::min(bestReference, reference);
        state.SetIterationTime(measured + reference);
    }
    state.counters[kMeasured] = best;
    state.counters[kReference] = bestReference;
    state.counters["instances"] = static_cast<double>(InstanceCount());
    state.counters["xml_bytes"] = static_cast<double>(xml.size());
}

// Building the same container from values already in memory: what any reader
// pays on top of inflating and parsing, shown beside the figure.
double buildSeconds(const TContainer& source) {
    TContainer copy(TContainer::kEmpty);
    const Clock::time_point start = Clock::now();
    for (const TCIMClass* sourceClass : source.GetClasses()) {
        TCIMClass* cimClass = copy.AddClass(sourceClass->GetName());
        for (const TCIMPropertyDecl& decl : sourceClass->GetPropertyDecls())
            cimClass->DeclareProperty(decl.name, decl.type);
        for (const TCIMInstance* instance : sourceClass->EnumerateInstances(true)) {
            TCIMInstance* made = new TCIMInstance(cimClass);
            for (const auto& property : instance->GetProperties()) made->SetPropertyValue(property.first, property.second);
            made->Commit();
        }
    }
    return since(start);
}

void XmlRead(benchmark::State& state) {
    const std::string& path = BigFile();
    std::string xml;
    double best = std::numeric_limits<double>::max(), bestReference = best, bestInflate = best, bestParse = best;
    double bestBuild = best;
    for (auto _ : state) {
        bestBuild = std::min(bestBuild, buildSeconds(BigContainer()));
        double measured;
        {
            TContainer container(TContainer::kEmpty);
            const Clock::time_point start = Clock::now();
            container.PopulateContainerFromFile(path);
            measured = since(start);
            best = std::min(best, measured);
        }
        Clock::time_point start = Clock::now();
        InflateFile(path, &xml);
        const double inflated = since(start);
        start = Clock::now();
        {
            pugi::xml_document document;
            if (!document.load_buffer_inplace(&xml[0], xml.size(), pugi::parse_default | pugi::parse_ws_pcdata))
                throw std::runtime_error("pugixml rejects the file");
            benchmark::DoNotOptimize(document.first_child());
        }
        const double parsed = since(start);
        bestInflate = std::min(bestInflate, inflated);
        bestParse = std::min(bestParse, parsed);
        bestReference = std::min(bestReference, inflated + parsed);
        state.SetIterationTime(measured + inflated + parsed);
    }
    state.counters[kMeasured] = best;
    state.counters[kReference] = bestReference;
    state.counters["inflate_s"] = bestInflate;
    state.counters["parse_s"] = bestParse;
    state.counters["build_s"] = bestBuild;
}

void PeakMemoryWrite(benchmark::State& state) {
    MemoryFigures figures = {0, 0};
    for (auto _ : state) figures = MeasureWrite(InstanceCount(), WorkDir() + "/memory.xml.gz");
    state.counters["peak_bytes"] = figures.peakBytes;
    state.counters["container_bytes"] = figures.containerBytes;
    state.counters["xml_bytes"] = static_cast<double>(BigXml().size());
}

void PeakMemoryRead(benchmark::State& state) {
    MemoryFigures figures = {0, 0};
    for (auto _ : state) figures = MeasureRead(BigFile());
    state.counters["peak_bytes"] = figures.peakBytes;
    state.counters["container_bytes"] = figures.containerBytes;
    state.counters["xml_bytes"] = static_cast<double>(BigXml().size());
}

}  // namespace

BENCHMARK(XmlWrite)->UseManualTime()->Iterations(Rounds())->Unit(benchmark::kMillisecond);
BENCHMARK(XmlRead)->UseManualTime()->Iterations(Rounds())->Unit(benchmark::kMillisecond);
BENCHMARK(PeakMemoryWrite)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(PeakMemoryRead)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace bench
