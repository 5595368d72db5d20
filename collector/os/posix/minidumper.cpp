// Fatal-signal handler that saves a text dump of the fault: the signal, the
// fault address, the faulting thread's backtrace and the loaded modules with
// their addresses. Inside the handler only async-signal-safe calls are made;
// everything else is prepared by InstallOsCrashHandler.
#include "crash_handler.h"

#include "wyxcore/crash_file.h"

#include <execinfo.h>
#include <fcntl.h>
#include <signal.h>
#include <string.h>
#include <sys/syscall.h>
#include <ucontext.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>

namespace {

const int kFatalSignals[] = {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT};
const int kMaxFrames = 64;

const char* fFilename = nullptr;
const char* dumpDirectory = nullptr;
TCrashFile dumpFile;
bool dumpPathFits = false;
bool unwinderReady = false;
// Room to run the handler after a stack overflow.
alignas(16) char alternateStack[64 * 1024];

// Output helpers: no allocation, no stdio.
bool put(int fd, const char* text) {
    size_t left = std::strlen(text);
    while (left > 0) {
        const ssize_t n = write(fd, text, left);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        text += n;
        left -= static_cast<size_t>(n);
    }
    return true;
}

bool putNumber(int fd, unsigned long value, unsigned base) {
    char digits[32];
    char* p = digits + sizeof digits;
    *--p = '\0';
    do {
        *--p = "0123456789abcdef"[value % base];
        value /= base;
    } while (value != 0);
    if (base == 16 && !put(fd, "0x")) return false;
    return put(fd, p);
}

bool putAddress(int fd, const void* address) {
    return putNumber(fd, reinterpret_cast<unsigned long>(address), 16);
}

const void* instructionAddress(const void* context) {
    const ucontext_t* uc = static_cast<const ucontext_t*>(context);
#if defined(__x86_64__)
    return reinterpret_cast<const void*>(uc->uc_mcontext.gregs[REG_RIP]);
#elif defined(__i386__)
    return reinterpret_cast<const void*>(uc->uc_mcontext.gregs[REG_EIP]);
#elif defined(__aarch64__)
    return reinterpret_cast<const void*>(uc->uc_mcontext.pc);
#else
    (void)uc;
    return nullptr;
#endif
}

bool writeFault(int fd, int signalNumber, const siginfo_t* info, const void* context) {
    const char* name = sigabbrev_np(signalNumber);
    return put(fd, fFilename) && put(fd, " crash dump\nSignal: ") && putNumber(fd, signalNumber, 10) &&
           put(fd, " (SIG") && put(fd, name ? name : "?") && put(fd, "), code ") &&
           putNumber(fd, static_cast<unsigned long>(static_cast<unsigned>(info->si_code)), 10) &&
           put(fd, "\nFault address: ") && putAddress(fd, info->si_addr) && put(fd, "\nInstruction address: ") &&
           putAddress(fd, instructionAddress(context)) && put(fd, "\nProcess: ") &&
           putNumber(fd, static_cast<unsigned long>(getpid()), 10) && put(fd, "\nThread: ") &&
           putNumber(fd, static_cast<unsigned long>(syscall(SYS_gettid)), 10) && put(fd, "\n");
}

bool writeBacktrace(int fd) {
    void* frames[kMaxFrames];
    const int count = backtrace(frames, kMaxFrames);
    if (!put(fd, "\nBacktrace:\n")) return false;
    backtrace_symbols_fd(frames, count, fd);
    return true;
}

// The memory map lists every loaded module with its address ranges.
bool writeModules(int fd, bool* modulesRead) {
    if (!put(fd, "\nModules:\n")) return false;
    const int maps = open("/proc/self/maps", O_RDONLY | O_CLOEXEC);
    *modulesRead = maps >= 0;
    if (maps < 0) return true;
    char buffer[4096];
    bool ok = true;
    for (;;) {
        const ssize_t n = read(maps, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        if (write(fd, buffer, static_cast<size_t>(n)) != n) {
            ok = false;
            break;
        }
    }
    close(maps);
    return ok;
}

void putPath(int fd) {
    put(fd, dumpDirectory);
    put(fd, fFilename);
    put(fd, ".dmp");
}

void report(int signalNumber, const siginfo_t* info, const void* context) {
    put(STDOUT_FILENO, "\nAn error occured during the execution of OSK, saving debugging information.");
    const int fd = dumpPathFits ? static_cast<int>(dumpFile.Create()) : -1;
    int error = dumpPathFits ? errno : ENAMETOOLONG;
    if (fd < 0) {
        put(STDOUT_FILENO, "\nFailed to create debugging file '");
        putPath(STDOUT_FILENO);
        put(STDOUT_FILENO, "'");
    } else {
        bool modulesRead = false;
        const bool written = writeFault(fd, signalNumber, info, context) &&
                             (!unwinderReady || writeBacktrace(fd)) && writeModules(fd, &modulesRead);
        error = errno;
        if (!written) dumpFile.Abandon();
        const bool closed = written && dumpFile.Commit();
        if (written && !closed) error = errno;
        if (written && closed) {
            put(STDOUT_FILENO, "\nSaved debugging file to '");
            putPath(STDOUT_FILENO);
            put(STDOUT_FILENO, "'");
            if (!unwinderReady) put(STDOUT_FILENO, "\nThe file holds no backtrace, unable to initialize the unwinder");
            if (!modulesRead) put(STDOUT_FILENO, "\nThe file holds no module list, unable to read /proc/self/maps");
            error = 0;
        } else {
            put(STDOUT_FILENO, "\nFailed to save debugging file to '");
            putPath(STDOUT_FILENO);
            put(STDOUT_FILENO, "'");
        }
    }
    if (error != 0) {
        const char* text = strerrordesc_np(error);
        put(STDOUT_FILENO, "\n[Error: ");
        putNumber(STDOUT_FILENO, static_cast<unsigned long>(error), 10);
        if (text) {
            put(STDOUT_FILENO, ": ");
            put(STDOUT_FILENO, text);
        }
        put(STDOUT_FILENO, "]");
    }
    put(STDOUT_FILENO, "\n");
}

void crashHandler(int signalNumber, siginfo_t* info, void* context) {
    const int savedErrno = errno;
    report(signalNumber, info, context);
    // The handler was reset on entry; raising again (blocked until the return)
    // leaves the ending to the default action, also for a signal sent by kill.
    errno = savedErrno;
    raise(signalNumber);
}

}  // namespace

void InstallOsCrashHandler(const char* dumpName, const char* directory) {
    fFilename = dumpName;
    dumpDirectory = directory;
    char dumpPath[TCrashFile::kMaxPath];
    dumpPathFits = FormatDumpPath(dumpPath, sizeof dumpPath, dumpDirectory, fFilename) && dumpFile.Prepare(dumpPath);

    // The first backtrace loads the unwinder, which must not happen in the handler.
    void* frame[1];
    unwinderReady = backtrace(frame, 1) > 0;

    stack_t stack = {};
    stack.ss_sp = alternateStack;
    stack.ss_size = sizeof alternateStack;
    sigaltstack(&stack, nullptr);

    struct sigaction action = {};
    action.sa_sigaction = crashHandler;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    for (int signalNumber : kFatalSignals) sigaction(signalNumber, &action, nullptr);
}
