#ifndef NORBIX_BENCH_CHILD_PROCESS_H
#define NORBIX_BENCH_CHILD_PROCESS_H

#include <string>
#include <vector>

namespace bench {

struct ChildResult {
    int status = -1;            // exit status, -1 when it did not exit normally
    std::string output;         // its standard output
    double wallSeconds = 0;
    // ru_maxrss: a child spawned from a big process starts with that size as its
    // peak, so measure a child of its own through time(1) where it matters.
    long peakResidentKiB = 0;
};

// Runs program with args (environment: the current one plus extraEnv entries
// "NAME=value") and waits for it. Standard error goes to /dev/null unless
// keepStderr.
ChildResult RunChild(const std::string& program, const std::vector<std::string>& args,
                     const std::vector<std::string>& extraEnv = {}, bool keepStderr = false);

// This process's own executable, for measuring in a fresh process.
std::string SelfPath();

// /proc/self/status fields in bytes; ResetPeak makes VmHWM start again from
// the current resident size.
long ResidentBytes();
long PeakResidentBytes();
void ResetPeak();

}  // namespace bench

#endif
