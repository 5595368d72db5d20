#include <windows.h>

#include "temporary_paths.h"
#include "wyxcore/output_file.h"

namespace {

// Runs on a thread of its own while the rest of the program goes on.
BOOL WINAPI onConsoleEvent(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT) return FALSE;
    temporarypaths::RemoveAllNow();
    // A file the program was creating meanwhile is in place within moments, and the next one waits.
    Sleep(50);
    temporarypaths::RemoveAllNow();
    // Ends at once, with the status Windows gives an interrupted program: the
    // rest of the program would otherwise write on after the cleanup.
    TerminateProcess(GetCurrentProcess(), STATUS_CONTROL_C_EXIT);
    return TRUE;
}

}  // namespace

void RemoveTemporariesOnInterruption() { SetConsoleCtrlHandler(onConsoleEvent, TRUE); }
