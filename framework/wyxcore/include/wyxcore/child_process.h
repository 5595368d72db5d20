#ifndef WYXCORE_CHILD_PROCESS_H
#define WYXCORE_CHILD_PROCESS_H

#include <cstddef>
#include <string>
#include <vector>

#include "wyxcore/export.h"

// A helper program run to its end, or stopped: its standard output is kept up
// to a limit, its standard input is empty and its error output dropped. A child
// that overruns its time or its output is killed with everything it started,
// so a tool that hangs or prints without end costs no more than the bounds.
struct TChildRun {
    enum Outcome {
        kExited,       // exitStatus holds its status
        kSignalled,    // ended by a signal (POSIX) or an exception (Windows); signal holds it
        kTimedOut,     // killed at the time bound
        kOverflowed,   // killed at the output bound; output holds the first outputLimit bytes
        kNotStarted    // error says why
    };
    Outcome outcome = kNotStarted;
    int exitStatus = 0;
    int signal = 0;
    std::string output;
    std::string error;
};

// Runs program (a path, or a name looked up on the PATH) with the arguments.
WYX_API TChildRun RunChildProcess(const std::string& program, const std::vector<std::string>& arguments,
                                  unsigned timeoutMillis, size_t outputLimit);

#endif
