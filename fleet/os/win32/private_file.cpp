#include "private_file.h"

// A file created on Windows takes the access list of its folder, which is what
// the database library's own creation gives it; there is no mode to set first.
void CreatePrivateFileIfMissing(const std::string&) {}
