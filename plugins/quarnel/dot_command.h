#ifndef QUARNEL_DOT_COMMAND_H
#define QUARNEL_DOT_COMMAND_H

class SPLibrary;

// The reply buffer of a dot-command read: its size, and the capacity passed
// with every send.
const int kDotReplySize = 2048;

// Sends one dot command (code, path; no data) to a processor; the command
// lives for this send only.
bool sendDotCommand(SPLibrary& library, unsigned char code, const unsigned char* path, int pathLength,
                    unsigned char* reply, int* length, int processor);

#endif
