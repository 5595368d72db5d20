#include <unistd.h>

#include <cstdio>
#include <iostream>

#include "wyxcore/os_specific.h"

void TOSSpecific::EndProcessNow(int status) {
    std::cout.flush();
    std::cerr.flush();
    std::fflush(nullptr);
    // No atexit handler, no destructor, no library finaliser: a thread that is
    // still running may need any of what they would free.
    _exit(status);
}
