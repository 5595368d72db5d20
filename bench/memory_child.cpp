#include "memory_child.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "child_process.h"
#include "container_generator.h"
#include "wyxcore/cim_xml.h"
#include "wyxcore/container.h"

namespace bench {

int RunMemoryChild(int argc, char** argv) {
    const std::string mode = argc > 2 ? argv[2] : "";
    if (mode == "write" && argc == 5) {
        const long before = ResidentBytes();
        TContainer container(TContainer::kEmpty);
        FillContainer(&container, static_cast<size_t>(std::atol(argv[3])));
        const long built = ResidentBytes();
        ResetPeak();
        TCIMXMLFile::Write(&container, argv[4]);
        std::printf("%ld %ld\n", PeakResidentBytes() - built, built - before);
        return 0;
    }
    if (mode == "read" && argc == 4) {
        TContainer container(TContainer::kEmpty);
        const long before = ResidentBytes();
        ResetPeak();
        container.PopulateContainerFromFile(argv[3]);
        std::printf("%ld %ld\n", PeakResidentBytes() - before, ResidentBytes() - before);
        return 0;
    }
    std::fprintf(stderr, "usage: --memory-child write COUNT PATH | read PATH\n");
    return 2;
}

namespace {

MemoryFigures measure(const std::vector<std::string>& args) {
    const ChildResult child = RunChild(SelfPath(), args, {}, true);
    MemoryFigures figures;
    if (child.status != 0 || std::sscanf(child.output.c_str(), "%lf %lf", &figures.peakBytes,
                                         &figures.containerBytes) != 2)
        throw std::runtime_error("memory child failed: " + child.output);
    return figures;
}

}  // namespace

MemoryFigures MeasureWrite(size_t count, const std::string& path) {
    return measure({"--memory-child", "write", std::to_string(count), path});
}

MemoryFigures MeasureRead(const std::string& path) { return measure({"--memory-child", "read", path}); }

}  // namespace bench
