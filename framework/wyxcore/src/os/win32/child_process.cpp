#include "wyxcore/child_process.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <vector>

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

TChildRun RunChildProcess(const std::string& program, const std::vector<std::string>& arguments, unsigned timeoutMillis,
                          size_t outputLimit) {
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
    // A named pipe read with overlapped I/O: the wait for output ends at the
    // deadline even when something the child started holds the pipe open.
    static std::atomic<unsigned> pipes(0);
    const std::string name =
        "\\\\.\\pipe\\norbix-child-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++pipes);
    Handle readEnd(CreateNamedPipeA(name.c_str(),
                                    PIPE_ACCESS_INBOUND | FILE_FLAG_OVERLAPPED | FILE_FLAG_FIRST_PIPE_INSTANCE,
                                    PIPE_TYPE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS, 1, 0, 65536, 0, nullptr));
    if (readEnd.h == INVALID_HANDLE_VALUE) {
        run.error = lastError("CreateNamedPipe");
        return run;
    }
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    Handle writeEnd(
        CreateFileA(name.c_str(), GENERIC_WRITE, 0, &inherit, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (writeEnd.h == INVALID_HANDLE_VALUE) {
        run.error = lastError("pipe");
        return run;
    }
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

    const ULONGLONG deadline = GetTickCount64() + timeoutMillis;
    const auto left = [&]() -> DWORD {
        const ULONGLONG now = GetTickCount64();
        return now >= deadline ? 0 : static_cast<DWORD>(deadline - now);
    };
    Handle ready(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    std::vector<char> buffer(16384);
    bool stopped = false, ended = false;
    for (;;) {
        OVERLAPPED overlapped = {};
        overlapped.hEvent = ready.h;
        ResetEvent(ready.h);
        if (!ReadFile(readEnd.h, buffer.data(), static_cast<DWORD>(buffer.size()), nullptr, &overlapped) &&
            GetLastError() != ERROR_IO_PENDING)
            break;   // every writer is gone
        HANDLE waits[2] = {ready.h, process.hProcess};
        DWORD woken = WAIT_FAILED;
        for (;;) {
            woken = WaitForMultipleObjects(ended ? 1 : 2, waits, FALSE, left());
            if (woken != WAIT_OBJECT_0 + 1) break;
            // The child is done: what it left running (a debugger, a
            // grandchild) would hold the pipe open; what they wrote stays readable.
            ended = true;
            if (job.h) TerminateJobObject(job.h, 1);
        }
        if (woken != WAIT_OBJECT_0) {
            CancelIo(readEnd.h);
            DWORD ignored = 0;
            GetOverlappedResult(readEnd.h, &overlapped, &ignored, TRUE);
            run.outcome = TChildRun::kTimedOut;
            stopped = true;
            break;
        }
        DWORD got = 0;
        if (!GetOverlappedResult(readEnd.h, &overlapped, &got, FALSE)) break;
        const size_t room = outputLimit - run.output.size();
        run.output.append(buffer.data(), std::min(room, static_cast<size_t>(got)));
        if (got > room) {
            run.outcome = TChildRun::kOverflowed;
            stopped = true;
            break;
        }
    }
    if (!stopped && WaitForSingleObject(process.hProcess, left()) != WAIT_OBJECT_0) {
        run.outcome = TChildRun::kTimedOut;
        stopped = true;
    }
    if (job.h) TerminateJobObject(job.h, 1);   // what the child left running, or all of it when stopped
    if (stopped) {
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, 5000);
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
