#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

#include "wyxcore/os_specific.h"

namespace {

int pendingKey = -1;   // a byte read from standard input and not yet consumed

// One byte if one is waiting, without blocking. On a terminal, canonical mode is
// left for the moment of the read, so a single key press counts.
int readWaitingByte() {
    struct pollfd fd = {STDIN_FILENO, POLLIN, 0};
    const bool terminal = isatty(STDIN_FILENO) != 0;
    struct termios saved;
    if (terminal && tcgetattr(STDIN_FILENO, &saved) == 0) {
        struct termios raw = saved;
        raw.c_lflag &= ~(ICANON | ECHO);
        raw.c_cc[VMIN] = 0;
        raw.c_cc[VTIME] = 0;
        tcsetattr(STDIN_FILENO, TCSANOW, &raw);
        unsigned char c;
        const ssize_t n = read(STDIN_FILENO, &c, 1);
        tcsetattr(STDIN_FILENO, TCSANOW, &saved);
        return n == 1 ? c : -1;
    }
    if (poll(&fd, 1, 0) <= 0 || !(fd.revents & (POLLIN | POLLHUP))) return -1;
    unsigned char c;
    ssize_t n;
    do {
        n = read(STDIN_FILENO, &c, 1);
    } while (n < 0 && errno == EINTR);
    return n == 1 ? c : -1;   // 0: end of input, no key
}

}  // namespace

bool TOSSpecific::IsKeyWaiting() {
    if (pendingKey < 0) pendingKey = readWaitingByte();
    return pendingKey >= 0;
}

int TOSSpecific::GetKeyboardChar() {
    if (!IsKeyWaiting()) return -1;
    const int key = pendingKey;
    pendingKey = -1;
    return key;
}

void TOSSpecific::USleep(unsigned int count) {
    struct timespec wait = {static_cast<time_t>(count / 1000), static_cast<long>(count % 1000) * 1000000L};
    while (nanosleep(&wait, &wait) != 0 && errno == EINTR) {
    }
}
