#include <windows.h>

#include "quarnel_plugin.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) return registerQuarnel() ? TRUE : FALSE;
    return TRUE;
}
