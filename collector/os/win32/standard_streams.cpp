#include "standard_streams.h"

// A write to a pipe whose reader has gone fails with an error code on Windows;
// there is no signal to turn off, and a missing standard handle is not reused
// for files.
void protectStandardStreams() {}
