#ifndef NORBIX_BANNER_H
#define NORBIX_BANNER_H

// The start-up lines: printed first, and copied into the console log file.
extern const char* const kVersionLine;
extern const char* const kLegalNotice;   // includes its empty line

#endif
