#ifndef WYXCORE_OUTPUT_FILE_H
#define WYXCORE_OUTPUT_FILE_H

// The one way norbix and its plug-ins put a file on disk. Every output is
// written under a temporary name that no other writer uses, created
// exclusively and never through a link planted at the name, private to the
// user (POSIX 0600 / 0700; on Windows an ACL for the administrators and the
// user), flushed to disk, and only then renamed over its final name: the
// rename is the only step two writers can race on, and the last one wins
// with a whole file.
//
// Failures throw TWYXException: kWyxAccessDenied when a name cannot be
// created or put in place, kWyxDiskFull or kWyxWriteFailed when writing
// fails, kWyxInvalidArgument for a name that is not a plain file name. After
// a failure the final name holds what it held before, and no temporary file
// is left.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "wyxcore/export.h"

namespace temporarypaths {
class TRegistration;
}

// Makes an interrupted run (POSIX: SIGINT, SIGTERM, SIGHUP; Windows: Ctrl-C,
// Ctrl-Break, the console closed) remove the temporary files and directories
// of its writes, and its console log, before it ends as the interruption
// would have ended it. Names already in place keep what they hold.
WYX_API void RemoveTemporariesOnInterruption();

// Writes content as the whole file at path. textMode gives the platform's
// line ends.
WYX_API void WriteOutputFile(const std::string& path, const std::string& content, bool textMode = false);

// A file written piece by piece: Commit puts it in place; without Commit the
// temporary file is removed when the object goes.
class WYX_API TOutputFile {
public:
    explicit TOutputFile(const std::string& path, bool textMode = false);
    ~TOutputFile();
    TOutputFile(const TOutputFile&) = delete;
    TOutputFile& operator=(const TOutputFile&) = delete;

    void Write(const char* data, size_t size);
    void Write(const std::string& data) { Write(data.data(), data.size()); }
    void Commit();

private:
    [[noreturn]] void fail(int status, const std::string& reason);
    std::string path_;
    std::string temporary_;
    intptr_t file_;
    bool textMode_;
    std::unique_ptr<temporarypaths::TRegistration> registration_;
};

#endif
