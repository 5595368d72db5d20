#ifndef WYXCORE_TEMPORARY_NAMES_H
#define WYXCORE_TEMPORARY_NAMES_H

// What the writers of files and directories share: names no other writer
// uses, exclusive creation beside the final name, and failures that wait out
// an interruption.

#include <cstdint>
#include <string>

#include "temporary_paths.h"
#include "wyxcore/exception.h"

namespace outputnames {

const int kCreateAttempts = 8;

// A write that fails because an interruption is removing its files waits for
// the end of the process instead: its failure would only be noise.
TWYXException Failure(int status, const std::string& text);

// A suffix no other writer on this machine uses at the moment.
std::string UniqueSuffix();
// A name beside path that no other writer uses.
std::string TemporaryBeside(const std::string& path);
// Creates a new temporary file beside path; *temporary receives its name,
// registered with registration for an interruption to remove. Throws
// TWYXException.
intptr_t CreateTemporary(const std::string& path, std::string* temporary,
                         temporarypaths::TRegistration* registration);
std::string Joined(const std::string& directory, const std::string& name);

}  // namespace outputnames

#endif
