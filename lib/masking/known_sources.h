#ifndef NORBIX_KNOWN_SOURCES_H
#define NORBIX_KNOWN_SOURCES_H

#include <cstddef>
#include <string>

class Masker;

// Names the masker learns from outside the container.

// The machine's host name, the running user, and the local accounts of
// people (uid 1000 and up in the machine's passwd file; WYX_SYSFS_ROOT
// applies).
void LearnFromMachine(Masker* masker);

// The words file (WYX_MASK_WORDS): one value a line, "host:", "user:" or
// "serial:" before it for a kind, else a word of its own; blank lines and
// lines starting with '#' are skipped. Throws TWYXException (kWyxFileTooLarge
// beyond kWordsFileMax, kWyxFileNotFound, ...) when it cannot be read.
const size_t kWordsFileMax = 4u << 20;
void LearnFromWordsFile(Masker* masker, const std::string& path);

#endif
