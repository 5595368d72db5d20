#ifndef QUARNEL_FUZZ_DRIVER_H
#define QUARNEL_FUZZ_DRIVER_H

// The box ID that the fuzzers' driver reports.
void setFuzzBoxId(int boxId);

#endif
