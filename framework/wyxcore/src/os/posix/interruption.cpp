#include <signal.h>
#include <time.h>

#include <cerrno>

#include "temporary_paths.h"
#include "wyxcore/output_file.h"

namespace {

const int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

void onInterruption(int signal) {
    const int saved = errno;
    temporarypaths::RemoveAllNow();
    // This thread may not be the one writing: a file it was creating is in
    // place within moments, and the next one waits.
    const struct timespec moment = {0, 20 * 1000 * 1000};
    nanosleep(&moment, nullptr);
    temporarypaths::RemoveAllNow();
    // The handler was reset on entry: the signal, blocked until we return,
    // then ends the process as it would have, and its status says so.
    raise(signal);
    errno = saved;
}

}  // namespace

void RemoveTemporariesOnInterruption() {
    struct sigaction action = {};
    action.sa_handler = onInterruption;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    for (int signal : kSignals) sigaddset(&action.sa_mask, signal);
    for (int signal : kSignals) {
        struct sigaction previous;
        // A signal the caller ignores (nohup, a background job) stays ignored.
        if (sigaction(signal, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN) continue;
        sigaction(signal, &action, nullptr);
    }
}
