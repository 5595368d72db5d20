// The crash dumper's portable part: the dump's name, the console made
// unbuffered, then the OS handler (os/*/minidumper.cpp) armed.
#include "minidumper.h"

#include <cassert>
#include <cstdio>
#include <cstring>
#include <iostream>

#include "crash_handler.h"

namespace {

const char kDefaultName[] = "OSK_Core";

char* fFilename = nullptr;

char* copyOf(const char* text) {
    const size_t size = std::strlen(text) + 1;
    char* copy = new char[size];
    std::memcpy(copy, text, size);
    return copy;
}

MiniDumper startupObject(kDefaultName);

}  // namespace

MiniDumper::MiniDumper(const char* applicationName) {
    assert(fFilename == nullptr);
    fFilename = copyOf(applicationName ? applicationName : kDefaultName);
}

void MiniDumper::installCrashHandler(const char* directory) {
    const char* dumpDirectory = copyOf(directory ? directory : "");
    // A crash ends the process without flushing stdio, and the handler must not
    // flush it (a pipe's reader would lose what was shown); so from here on the
    // console text goes out at once.
    std::cout << std::unitbuf;
    std::fflush(stdout);
    InstallOsCrashHandler(fFilename, dumpDirectory);
}

bool FormatDumpPath(char* path, size_t size, const char* directory, const char* dumpName) {
    const int length = std::snprintf(path, size, "%s%s.dmp", directory, dumpName);
    return length >= 0 && static_cast<size_t>(length) < size;
}

MiniDumper& theMiniDumper() { return startupObject; }
