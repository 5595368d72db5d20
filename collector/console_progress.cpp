#include "console_progress.h"

#include "terminal.h"

void ConsoleProgress::Show(const std::string& line) {
    if (!atLineStart_) return;
    drawLiveLine(line);
    drawn_ = true;
}

void ConsoleProgress::beforeMessage() {
    if (!drawn_) return;
    eraseLiveLine();
    drawn_ = false;
}

void ConsoleProgress::afterMessage(const std::string& message) {
    if (!message.empty()) atLineStart_ = message.back() == '\n';
}
