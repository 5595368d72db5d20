// Unhandled-exception filter that saves a minidump through DBGHELP.DLL, loaded
// only when the crash happens.
#include "crash_handler.h"

#include "wyxcore/crash_file.h"

#include <windows.h>
#include <dbghelp.h>

#include <cstdio>
#include <cstring>

namespace {

typedef BOOL(WINAPI* MiniDumpWriteDumpFn)(HANDLE process, DWORD processId, HANDLE file, MINIDUMP_TYPE type,
                                          PMINIDUMP_EXCEPTION_INFORMATION exception,
                                          PMINIDUMP_USER_STREAM_INFORMATION userStreams,
                                          PMINIDUMP_CALLBACK_INFORMATION callback);

const size_t kBufferSize = 260;
const char kLibraryName[] = "DBGHELP.DLL";

const char* fFilename = nullptr;
const char* dumpDirectory = nullptr;

// The copy beside the program first, then the system's search order.
HMODULE loadDebugLibrary() {
    char path[kBufferSize];
    const DWORD length = GetModuleFileNameA(nullptr, path, kBufferSize);
    if (length > 0 && length < kBufferSize) {
        char* slash = std::strrchr(path, '\\');
        if (slash && static_cast<size_t>(slash + 1 - path) + sizeof kLibraryName <= kBufferSize) {
            std::memcpy(slash + 1, kLibraryName, sizeof kLibraryName);
            if (HMODULE library = LoadLibraryA(path)) return library;
        }
    }
    return LoadLibraryA(kLibraryName);
}

// False (and nothing written) when the whole path does not fit.
bool buildDumpPath(char* path) {
    return FormatDumpPath(path, kBufferSize, dumpDirectory ? dumpDirectory : "", fFilename);
}

void writeDump(MiniDumpWriteDumpFn writeDumpFn, EXCEPTION_POINTERS* exceptionPointers, char* message,
               LONG* result) {
    char dumpPath[kBufferSize];
    if (!buildDumpPath(dumpPath)) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        std::snprintf(message, kBufferSize, "\nFailed to create debugging file '%s'", dumpPath);
        return;
    }
    // Written under a name of this process and then renamed over the dump of an
    // earlier crash, so a link planted at the name is never written through.
    static TCrashFile dumpFile;
    const intptr_t created = dumpFile.Prepare(dumpPath) ? dumpFile.Create() : -1;
    if (created == -1) {
        std::snprintf(message, kBufferSize, "\nFailed to create debugging file '%s'", dumpPath);
        return;
    }
    HANDLE file = reinterpret_cast<HANDLE>(created);
    MINIDUMP_EXCEPTION_INFORMATION exceptionInfo;
    exceptionInfo.ThreadId = GetCurrentThreadId();
    exceptionInfo.ExceptionPointers = exceptionPointers;
    exceptionInfo.ClientPointers = FALSE;
    const bool written = writeDumpFn(GetCurrentProcess(), GetCurrentProcessId(), file, MiniDumpNormal,
                                     &exceptionInfo, nullptr, nullptr);
    if (!written) dumpFile.Abandon();
    if (written && dumpFile.Commit()) {
        std::snprintf(message, kBufferSize, "\nSaved debugging file to '%s'", dumpPath);
        *result = EXCEPTION_EXECUTE_HANDLER;
    } else {
        std::snprintf(message, kBufferSize, "\nFailed to save debugging file to '%s'", dumpPath);
    }
}

void printLastError() {
    const DWORD code = GetLastError();
    char* text = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
        MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<char*>(&text), 0, nullptr);
    if (length > 0 && text) {
        // The system's text ends with a line break; the bracket closes the line.
        DWORD end = length;
        while (end > 0 && (text[end - 1] == '\r' || text[end - 1] == '\n' || text[end - 1] == ' ')) --end;
        std::printf("\n[Win32 Error: %d: %.*s]", static_cast<int>(code), static_cast<int>(end), text);
    } else {
        std::printf("\n[Win32 Error: %d]", static_cast<int>(code));
    }
    if (text) LocalFree(text);
}

LONG WINAPI crashFilter(EXCEPTION_POINTERS* exceptionPointers) {
    LONG result = EXCEPTION_CONTINUE_SEARCH;
    char message[kBufferSize];
    HMODULE library = loadDebugLibrary();
    if (!library) {
        std::snprintf(message, kBufferSize, "\nFailed to save debugging file, unable to initialize dbghelp.dll");
    } else {
        MiniDumpWriteDumpFn writeDumpFn =
            reinterpret_cast<MiniDumpWriteDumpFn>(reinterpret_cast<void*>(GetProcAddress(library, "MiniDumpWriteDump")));
        if (!writeDumpFn)
            std::snprintf(message, kBufferSize, "\nFailed to save debugging file, incompatible dbghelp.dll loaded");
        else
            writeDump(writeDumpFn, exceptionPointers, message, &result);
    }
    std::printf("\nAn error occured during the execution of OSK, saving debugging information.");
    std::printf("%s", message);
    printLastError();
    std::fflush(stdout);
    return result;
}

}  // namespace

void InstallOsCrashHandler(const char* dumpName, const char* directory) {
    fFilename = dumpName;
    dumpDirectory = directory;
    SetUnhandledExceptionFilter(crashFilter);
}
