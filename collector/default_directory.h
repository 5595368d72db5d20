#ifndef NORBIX_DEFAULT_DIRECTORY_H
#define NORBIX_DEFAULT_DIRECTORY_H

#include <string>

// The output directory used without /d: SYSTEMDRIVE + separator + "VARN_Support",
// or the platform's fallback when SYSTEMDRIVE is not set.
std::string defaultOutputDirectory();

#endif
