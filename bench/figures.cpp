#include "figures.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>

namespace bench {

const char kMeasured[] = "measured_s";
const char kReference[] = "reference_s";

void FigureReporter::ReportRuns(const std::vector<Run>& runs) {
    for (const Run& run : runs) {
        if (run.run_type != Run::RT_Iteration) continue;
        // The growth figures run one benchmark at several sizes: "name/size".
        const std::string name =
            run.run_name.function_name + (run.run_name.args.empty() ? "" : "/" + run.run_name.args);
        if (run.error_occurred) {
            errors_[name] = run.error_message;
            continue;
        }
        Counters& counters = results_[name];
        for (const auto& counter : run.counters) {
            // Repetitions: keep the best (lowest) of times and peaks alike.
            auto it = counters.find(counter.first);
            if (it == counters.end() || counter.second.value < it->second) counters[counter.first] = counter.second.value;
        }
    }
    ConsoleReporter::ReportRuns(runs);
}

const FigureReporter::Counters* FigureReporter::find(const std::string& benchmark) const {
    auto it = results_.find(benchmark);
    return it == results_.end() ? nullptr : &it->second;
}

namespace {

double value(const std::map<std::string, double>& counters, const char* name) {
    auto it = counters.find(name);
    return it == counters.end() ? 0 : it->second;
}

std::string format(const char* pattern, double a, double b = 0) {
    char text[128];
    std::snprintf(text, sizeof text, pattern, a, b);
    return text;
}

const double kMiB = 1024.0 * 1024.0;

}  // namespace

void FigureReporter::PrintFigures(std::ostream& out) const {
    char line[512];
    auto row = [&](const std::string& figure, const std::string& measured, const std::string& reference, double ratio,
                   double goal) {
        const std::string ratioText = ratio > 0 ? format("%.2f", ratio) : "-";
        const std::string goalText = goal > 0 ? format("<= %.1f", goal) : ratio > 0 ? "" : "reported";
        const char* holds = goal <= 0 ? "" : ratio <= goal ? "yes" : "NO";
        std::snprintf(line, sizeof line, "%-38s %-28s %-30s %6s  %-9s %s\n", figure.c_str(), measured.c_str(),
                      reference.c_str(), ratioText.c_str(), goalText.c_str(), holds);
        out << line;
    };
    auto missing = [&](const std::string& figure, const std::string& benchmark) {
        auto it = errors_.find(benchmark);
        out << figure << std::string(figure.size() < 38 ? 39 - figure.size() : 1, ' ') << "not measured: "
            << (it != errors_.end() ? it->second : "benchmark not run") << "\n";
    };

    std::snprintf(line, sizeof line, "%-38s %-28s %-30s %6s  %-9s %s\n", "figure", "measured", "reference", "ratio",
                  "goal", "holds");
    out << "\n" << line;

    if (const Counters* c = find("XmlWrite")) {
        const double m = value(*c, kMeasured), r = value(*c, kReference);
        row(format("XML write, %.0f instances", value(*c, "instances")), format("%.3f s", m),
            format("zlib alone %.3f s", r), m / r, 1.1);
    } else {
        missing("XML write", "XmlWrite");
    }
    if (const Counters* c = find("XmlRead")) {
        const double m = value(*c, kMeasured), r = value(*c, kReference);
        row("XML read (PopulateContainerFromFile)", format("%.3f s", m),
            format("inflate %.3f + parse %.3f s", value(*c, "inflate_s"), value(*c, "parse_s")), m / r, 1.5);
        const double floor = r + value(*c, "build_s");
        row("  with the container built (floor)", format("%.3f s", m),
            format("reference + build %.3f s", value(*c, "build_s")), m / floor, 0);
    } else {
        missing("XML read", "XmlRead");
    }
    if (const Counters* c = find("XmlReadExpat")) {
        // Expat in the reader's place: its parse with the reader's work, plus
        // the inflating, which a reader can do on a second core beside it
        // (the best case) or not (the sum).
        const double r = value(*c, kReference), inflate = value(*c, "inflate_s");
        const double read = value(*c, "expat_read_s"), touch = value(*c, "expat_touch_s");
        row("XML read, our reader (same rounds)", format("%.3f s", value(*c, "ours_s")),
            format("inflate %.3f + parse %.3f s", inflate, value(*c, "parse_s")), value(*c, "ours_s") / r, 1.5);
        row("  Expat reader, inflate beside", format("%.3f s", std::max(inflate, read)), "the same", std::max(inflate, read) / r, 1.5);
        row("  Expat reader, inflate before", format("%.3f s", inflate + read), "the same", (inflate + read) / r, 1.5);
        row("  Expat parse alone (every name, text)", format("%.3f s", touch), format("pugixml parse %.3f s", value(*c, "parse_s")),
            touch / value(*c, "parse_s"), 0);
        row("  Expat parse, no callbacks", format("%.3f s", value(*c, "expat_bare_s")),
            format("XML %.1f MiB", value(*c, "xml_bytes") / kMiB), value(*c, "expat_bare_s") / value(*c, "parse_s"), 0);
    } else {
        missing("XML read with Expat", "XmlReadExpat");
    }
    for (const char* which : {"PeakMemoryWrite", "PeakMemoryRead"}) {
        const bool write = std::string(which) == "PeakMemoryWrite";
        const char* figure = write ? "peak memory, write (beyond cont.)" : "peak memory, read (with cont.)";
        if (const Counters* c = find(which)) {
            const double peak = value(*c, "peak_bytes"), xml = value(*c, "xml_bytes");
            row(figure, format("%.1f MiB", peak / kMiB), format("XML %.1f MiB", xml / kMiB), peak / xml, 2.0);
            row(write ? "  container itself (for reference)" : "  of which the container stays",
                format("%.1f MiB", value(*c, "container_bytes") / kMiB), "", 0, 0);
        } else {
            missing(figure, which);
        }
    }
    if (const Counters* c = find("UlkCollection")) {
        const double m = value(*c, kMeasured), r = value(*c, kReference), n = value(*c, "entries");
        row(format("ULK collection, %.0f entries", n), format("%.0f entries/s", n / m),
            format("format file only %.0f/s", n / r), m / r, 2.0);
    } else {
        missing("ULK collection", "UlkCollection");
    }
    for (const char* which : {"WholeRunUlk", "WholeRunTolm"}) {
        const std::string image = which[8] == 'U' ? "ULK image" : "Tolm image";
        const std::string figure = "norbix /v /text, " + image;
        if (const Counters* c = find(which)) {
            row(value(*c, "xml_only") > 0 ? "norbix (XML only*), " + image : figure, format("%.2f s wall, %.1f MiB peak", value(*c, kMeasured), value(*c, "peak_bytes") / kMiB),
                format("%.0f instances written", value(*c, "instances")), 0, 0);
        } else {
            missing(figure, which);
        }
    }
    if (const Counters* c = find("MaskedRun")) {
        const double m = value(*c, kMeasured), r = value(*c, kReference);
        row(format("norbix /i, %.0f instances, masked", value(*c, "instances")), format("%.2f s wall", m),
            format("unmasked %.2f s", r), m / r, 1.3);
    } else {
        missing("norbix /i, masked", "MaskedRun");
    }
    if (const Counters* c = find("WholeRunMachine")) {
        row("norbix, this machine (no SP)",
            format("%.2f s wall, %.1f MiB peak", value(*c, kMeasured), value(*c, "peak_bytes") / kMiB),
            format("%.0f instances written", value(*c, "instances")), 0, 0);
    } else {
        missing("norbix, this machine", "WholeRunMachine");
    }
    for (const char* which : {"WholeRunUlk", "WholeRunTolm"})
        if (const Counters* c = find(which))
            if (value(*c, "xml_only") > 0) {
                out << "* the tree has no HTML or Text writer, so /v /text cannot run; measured without them\n";
                break;
            }
    if (const Counters* c = find("HealthCollector")) {
        const double added = value(*c, kMeasured) - value(*c, kReference);
        const double addedBytes = value(*c, "peak_bytes") - value(*c, "reference_peak_bytes");
        row("Health: 24 disks, 48 DIMMs, 10000 rec.", format("+%.2f s, +%.1f MiB peak", added, addedBytes / kMiB),
            format("norbix without it %.2f s", value(*c, kReference)), added, 1.0);
        row("  memory beyond norbix's own (/50 MiB)", format("%.1f MiB", addedBytes / kMiB), "", addedBytes / kMiB / 50,
            1.0);
    } else {
        missing("Health collector", "HealthCollector");
    }
    if (const Counters* c = find("WholeRunSel")) {
        const double m = value(*c, kMeasured), r = value(*c, kReference);
        row(format("norbix /v /text, %.0f SEL records", value(*c, "records")),
            format("%.2f s wall, %.1f MiB peak", m, value(*c, "peak_bytes") / kMiB),
            format("transport (script) %.2f s", r), m - r, 2.0);
        row("  its peak memory, MiB", format("%.1f MiB", value(*c, "peak_bytes") / kMiB), "",
            value(*c, "peak_bytes") / kMiB, 150);
    } else {
        missing("norbix /v /text, SEL records", "WholeRunSel");
    }
    if (const Counters* c = find("HtmlPages")) {
        const bool stopped = value(*c, kMeasured) >= value(*c, "limit_s") - 1;
        row("HTML, 100000 instances: page open",
            format(stopped ? "> %.0f s (stopped)" : "%.2f s (rows drawn at %.2f s)", value(*c, kMeasured),
                   value(*c, "drawn_ms") / 1000),
            format("data file %.1f MiB", value(*c, "data_bytes") / kMiB), value(*c, kMeasured), 1.0);
        row("  filter over every row", format("%.0f ms", value(*c, "filter_ms")), "", value(*c, "filter_ms") / 1000,
            0.2);
        row("  HTML writer", format("%.2f s", value(*c, "write_s")), "", 0, 0);
    } else {
        missing("HTML pages", "HtmlPages");
    }
    if (const Counters* c = find("VerdictPages")) {
        row("HTML, 100000 records, 2000 parts: page one", format("%.2f s", value(*c, "index_open_s")), "",
            value(*c, "index_open_s"), 1.0);
        row("  parts page", format("%.2f s", value(*c, "parts_open_s")), "", value(*c, "parts_open_s"), 1.0);
    } else {
        missing("HTML page one and parts page", "VerdictPages");
    }
    printGrowth(out);
}

void FigureReporter::printGrowth(std::ostream& out) const {
    struct Series {
        const char* benchmark;
        const char* title;
        const char* unit;
    };
    const Series series[] = {{"XmlWriteGrowth", "XML write", "instance"},
                             {"XmlReadGrowth", "XML read", "instance"},
                             {"UlkGrowth", "ULK collection", "entry"}};
    const char* dataPath = std::getenv("NORBIX_BENCH_GROWTH_DATA");
    std::ofstream data;
    if (dataPath && *dataPath) data.open(dataPath);
    char line[256];
    std::snprintf(line, sizeof line, "\n%-16s %10s %12s %14s %s\n", "growth", "size", "seconds", "per item", "x smallest");
    out << line;
    for (const Series& s : series) {
        double first = 0;
        if (data.is_open()) data << "# " << s.title << "\n";
        std::vector<std::pair<double, double>> points;   // items, seconds; smallest first
        for (const auto& result : results_)
            if (result.first.compare(0, std::strlen(s.benchmark) + 1, std::string(s.benchmark) + "/") == 0 &&
                value(result.second, "items") > 0)
                points.emplace_back(value(result.second, "items"), value(result.second, kMeasured));
        std::sort(points.begin(), points.end());
        for (const auto& point : points) {
            const double items = point.first, seconds = point.second;
            const double perItem = seconds / items * 1e6;
            if (first == 0) first = perItem;
            std::snprintf(line, sizeof line, "%-16s %10.0f %10.3f s %9.2f us/%s %6.2f\n", s.title, items, seconds,
                          perItem, s.unit, perItem / first);
            out << line;
            if (data.is_open()) data << items << " " << seconds << " " << perItem << "\n";
        }
        if (data.is_open()) data << "\n\n";
        for (const auto& error : errors_)
            if (error.first.compare(0, std::strlen(s.benchmark), s.benchmark) == 0)
                out << s.title << ": not measured: " << error.second << "\n";
    }
}

}  // namespace bench
