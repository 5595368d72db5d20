#include "terminal.h"

#include <windows.h>

#include <iostream>

namespace {

HANDLE console() { return GetStdHandle(STD_OUTPUT_HANDLE); }

// The row the cursor is on and the buffer's width; false when stdout is no console.
bool cursorRow(SHORT* row, SHORT* width) {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!GetConsoleScreenBufferInfo(console(), &info) || info.dwSize.X < 2) return false;
    *row = info.dwCursorPosition.Y;
    *width = info.dwSize.X;
    return true;
}

void blank(SHORT row, SHORT from, SHORT width) {
    DWORD written = 0;
    if (from < width) FillConsoleOutputCharacterA(console(), ' ', width - from, COORD{from, row}, &written);
}

}  // namespace

bool stdoutIsTerminal() {
    DWORD mode = 0;
    return GetConsoleMode(console(), &mode) != 0;
}

void drawLiveLine(const std::string& text) {
    // What the stream holds must reach the console before the cursor moves.
    std::cout.flush();
    SHORT row, width;
    if (!cursorRow(&row, &width)) return;
    // Writing the last column would move the cursor to the next row.
    const std::string shown = text.substr(0, static_cast<size_t>(width) - 1);
    SetConsoleCursorPosition(console(), COORD{0, row});
    DWORD written = 0;
    WriteConsoleA(console(), shown.data(), static_cast<DWORD>(shown.size()), &written, nullptr);
    blank(row, static_cast<SHORT>(shown.size()), width);
}

void eraseLiveLine() {
    std::cout.flush();
    SHORT row, width;
    if (!cursorRow(&row, &width)) return;
    blank(row, 0, width);
    SetConsoleCursorPosition(console(), COORD{0, row});
}
