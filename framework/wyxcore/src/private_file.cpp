// The reading of a file that must stay the user's own; the OS decides who
// holds it, the rest is the same everywhere.
#include "wyxcore/private_file.h"

#include "output_os.h"

TPrivateFileState ReadPrivateFile(const std::string& path, size_t limit, std::string* content, std::string* problem) {
    content->clear();
    problem->clear();
    switch (wyxos::KindOf(path)) {
    case wyxos::kEntryMissing: return kPrivateFileMissing;
    case wyxos::kEntryLink: *problem = "is a symbolic link"; return kPrivateFileRefused;
    case wyxos::kEntryDirectory: *problem = "is not a regular file"; return kPrivateFileRefused;
    default: break;
    }
    *problem = wyxos::ForeignFileProblem(path);
    if (!problem->empty()) return kPrivateFileRefused;
    if (!wyxos::ReadSmallFile(path, limit, content)) {
        *problem = "cannot be read or holds more than " + std::to_string(limit) + " bytes";
        return kPrivateFileRefused;
    }
    return kPrivateFileRead;
}
