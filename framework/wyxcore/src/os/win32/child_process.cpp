#include "wyxcore/child_process.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <thread>

namespace {

struct Handle {
    HANDLE h = nullptr;
    Handle() = default;
    explicit Handle(HANDLE handle) : h(handle) {}
    ~Handle() {
        if (h && h != INVALID_HANDLE_VALUE) CloseHandle(h);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
};

std::string lastError(const std::string& what) { return what + ": error " + std::to_string(GetLastError()); }

// Windows' quoting rules for one argument of a command line.
std::string quoted(const std::string& word) {
    if (!word.empty() && word.find_first_of(" \t\n\v\"") == std::string::npos) return word;
    std::string out = "\"";
    size_t slashes = 0;
    for (char c : word) {
        if (c == '"') out.append(slashes + 1, '\\');
        slashes = c == '\\' ? slashes + 1 : 0;
        out += c;
    }
    out.append(slashes, '\\');
    return out + "\"";
}

}  // namespace

TChildRun RunChildProcess(const std::string& program, const std::vector<std::string>& arguments,
                          unsigned timeoutMillis, size_t outputLimit) {
    TChildRun run;
    char found[MAX_PATH];
    std::string path = program;
    if (program.find_first_of("\\/") == std::string::npos) {
        const DWORD length = SearchPathA(nullptr, program.c_str(), ".exe", MAX_PATH, found, nullptr);
        if (length == 0 || length >= MAX_PATH) {
            run.error = program + ": not found on the path";
            return run;
        }
        path = found;
    }
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE readRaw = nullptr, writeRaw = nullptr;
    if (!CreatePipe(&readRaw, &writeRaw, &inherit, 0)) {
        run.error = lastError("CreatePipe");
        return run;
    }
    Handle readEnd(readRaw), writeEnd(writeRaw);
    SetHandleInformation(readEnd.h, HANDLE_FLAG_INHERIT, 0);
    Handle nul(CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                           OPEN_EXISTING, 0, nullptr));
    // A job: the kill reaches what the child started too.
    Handle job(CreateJobObjectA(nullptr, nullptr));
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (job.h) SetInformationJobObject(job.h, JobObjectExtendedLimitInformation, &limits, sizeof limits);

    std::string line = quoted(path);
    for (const std::string& argument : arguments) line += " " + quoted(argument);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nul.h;
    startup.hStdOutput = writeEnd.h;
    startup.hStdError = nul.h;
    PROCESS_INFORMATION process = {};
    // The child inherits the error mode: a helper that crashes ends at once
    // rather than waiting on an error box or a debugger until its time is up.
    const UINT errorMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    const BOOL created = CreateProcessA(path.c_str(), &line[0], nullptr, nullptr, TRUE,
                                        CREATE_NO_WINDOW | CREATE_SUSPENDED, nullptr, nullptr, &startup, &process);
    SetErrorMode(errorMode);
    if (!created) {
        run.error = lastError(path);
        return run;
    }
    Handle processHandle(process.hProcess), threadHandle(process.hThread);
    if (job.h) AssignProcessToJobObject(job.h, process.hProcess);
    ResumeThread(process.hThread);
    CloseHandle(writeEnd.h);
    writeEnd.h = nullptr;

    std::atomic<bool> overflowed(false);
    std::thread reader([&] {
        char buffer[16384];
        DWORD got = 0;
        while (ReadFile(readEnd.h, buffer, sizeof buffer, &got, nullptr) && got > 0) {
            const size_t room = outputLimit - run.output.size();
            run.output.append(buffer, std::min(room, static_cast<size_t>(got)));
            if (got > room) {
                overflowed = true;
                return;
            }
        }
    });
    const ULONGLONG deadline = GetTickCount64() + timeoutMillis;
    bool timedOut = false;
    while (!overflowed) {
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline) {
            timedOut = true;
            break;
        }
        if (WaitForSingleObject(process.hProcess, static_cast<DWORD>(std::min<ULONGLONG>(deadline - now, 50))) ==
            WAIT_OBJECT_0)
            break;
    }
    if (timedOut || overflowed) {
        if (job.h) TerminateJobObject(job.h, 1);
        TerminateProcess(process.hProcess, 1);
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    // What the child left running would hold the pipe open.
    if (!timedOut && !overflowed && job.h) TerminateJobObject(job.h, 1);
    reader.join();
    if (overflowed) {
        run.outcome = TChildRun::kOverflowed;
        return run;
    }
    if (timedOut) {
        run.outcome = TChildRun::kTimedOut;
        return run;
    }
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    // An unhandled exception ends a process with its NTSTATUS code.
    if (code >= 0xC0000000u) {
        run.outcome = TChildRun::kSignalled;
        run.signal = static_cast<int>(code);
    } else {
        run.outcome = TChildRun::kExited;
        run.exitStatus = static_cast<int>(code);
    }
    return run;
}
