#ifndef NORBIX_BENCH_BENCH_DATA_H
#define NORBIX_BENCH_BENCH_DATA_H

#include <cstddef>
#include <string>

class IPlugin;
class TContainer;

namespace bench {

// Sizes of the generated data; NORBIX_BENCH_INSTANCES and NORBIX_BENCH_ULK
// shrink them for a quick trial.
size_t InstanceCount();       // 200,000
size_t UlkEntriesPerProcessor();   // 10,000
int Rounds();
size_t GrowthTop();           // largest container of the growth figures (NORBIX_BENCH_GROWTH, 1,000,000)                 // iterations per figure, the best counts (NORBIX_BENCH_ROUNDS, 5)

// A directory of this run's files, removed at exit.
const std::string& WorkDir();

// The generated container, its CIM-XML text and its compressed file, made once.
const TContainer& BigContainer();
const std::string& BigXml();
const std::string& BigFile();

// The built tree's bin directory.
std::string BinDir();

// Has the framework load the tree's plug-ins (once) and returns the one whose
// file name ends with fileName, or null.
IPlugin* LoadedPlugin(const std::string& fileName);

}  // namespace bench

#endif
