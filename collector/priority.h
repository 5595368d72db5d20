#ifndef NORBIX_PRIORITY_H
#define NORBIX_PRIORITY_H

// Lowers the process to the below-normal priority class; false with the
// system's error code when that fails.
bool lowerProcessPriority(unsigned long* error);

#endif
