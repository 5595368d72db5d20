#ifndef NORBIX_TERMINAL_H
#define NORBIX_TERMINAL_H

#include <string>

// The console's live line: drawn over itself where a person watches standard
// output, never where it goes to a file or a pipe.
bool stdoutIsTerminal();
// Replaces the line the cursor is on with text (cut to the terminal's width);
// the cursor stays on that line.
void drawLiveLine(const std::string& text);
// Blanks that line and leaves the cursor at its start.
void eraseLiveLine();

#endif
