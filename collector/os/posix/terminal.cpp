#include "terminal.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <iostream>

namespace {

// A line as wide as the terminal would wrap, and the carriage return would
// then go back to the wrong line.
size_t usableWidth() {
    struct winsize size = {};
    if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) != 0 || size.ws_col < 2) return 79;
    return size.ws_col - 1;
}

}  // namespace

bool stdoutIsTerminal() { return isatty(STDOUT_FILENO) == 1; }

void drawLiveLine(const std::string& text) {
    std::cout << '\r' << text.substr(0, usableWidth()) << "\x1b[K" << std::flush;
}

void eraseLiveLine() { std::cout << "\r\x1b[K" << std::flush; }
