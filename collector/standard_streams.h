#ifndef NORBIX_STANDARD_STREAMS_H
#define NORBIX_STANDARD_STREAMS_H

// Makes the standard streams safe to use whatever the caller left them as: a
// reader that went away (`norbix | head`) makes writes fail instead of ending
// the process, and a closed standard descriptor is opened on the null device
// so that no output file is ever handed its number.
void protectStandardStreams();

#endif
