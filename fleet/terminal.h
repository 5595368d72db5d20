#ifndef NORBIX_FLEET_TERMINAL_H
#define NORBIX_FLEET_TERMINAL_H

// Whether standard error is a terminal a person watches: only there does a
// long ingest draw its progress line.
bool StderrIsTerminal();

#endif
