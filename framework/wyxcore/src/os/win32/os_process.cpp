#include <windows.h>

#include <cstdio>
#include <iostream>

#include "wyxcore/os_specific.h"

void TOSSpecific::EndProcessNow(int status) {
    std::cout.flush();
    std::cerr.flush();
    std::fflush(nullptr);
    // ExitProcess would still run every DLL's detach code (the plug-ins' static
    // destructors among it) after stopping the other threads at any point,
    // locks held; terminating runs nothing of ours.
    TerminateProcess(GetCurrentProcess(), static_cast<UINT>(status));
    for (;;) Sleep(INFINITE);   // the termination is asynchronous
}
