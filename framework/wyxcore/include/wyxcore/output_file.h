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
#include <vector>

#include "wyxcore/export.h"

namespace temporarypaths {
class TRegistration;
}

// A part of a file name made from data (a model, a serial number, an input
// file's name): bytes other than letters, digits, '-', '_' and '.' become
// '_', and the result is never empty, never starts or ends with '.', is no
// device name of Windows, and holds at most kSafeNamePartMax bytes.
// Every name norbix makes from data goes through this one rule; max may be
// larger for a name that the rule's users bound themselves.
const size_t kSafeNamePartMax = 64;
WYX_API std::string SafeNamePart(const std::string& text, size_t max = kSafeNamePartMax);

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

// A directory of files written as a whole: Add writes each file into a
// private temporary directory at once; Commit puts the directory in place.
// A directory already at the final name is replaced: the files that norbix
// listed there in its manifest (kOutputManifestName) go, every other entry
// (the user's) is moved into the new directory; one whose name the new
// directory also holds stays in the old directory, kept beside it under the
// name final + ".kept-" + a unique suffix, so that nothing of the user's is
// lost. A link or a file at the final name is refused (kWyxAccessDenied).
// Without Commit the temporary directory is removed when the object goes.
extern WYX_API const char* const kOutputManifestName;
class WYX_API TOutputDirectory {
public:
    explicit TOutputDirectory(const std::string& path);
    ~TOutputDirectory();
    TOutputDirectory(const TOutputDirectory&) = delete;
    TOutputDirectory& operator=(const TOutputDirectory&) = delete;

    // name is a plain file name, added once: the bytes SafeNamePart keeps, up
    // to 100 of them, not starting or ending with '.'; else kWyxInvalidArgument.
    void Add(const std::string& name, const std::string& content, bool textMode = false);
    void Commit();

private:
    std::string path_;
    std::string temporary_;
    std::vector<std::string> names_;
    bool committed_;
    std::unique_ptr<temporarypaths::TRegistration> registration_;
};

// A transcript kept on disk while it grows (the console log): Open puts a new,
// empty, private file in place at once, replacing a file of that name and
// never writing through a link planted there; each Write goes to the OS at
// once, so a killed process leaves every whole message. An interrupted run
// removes it while it is open.
class WYX_API TTranscriptFile {
public:
    TTranscriptFile();
    ~TTranscriptFile();
    TTranscriptFile(const TTranscriptFile&) = delete;
    TTranscriptFile& operator=(const TTranscriptFile&) = delete;

    bool Open(const std::string& path);
    bool IsOpen() const;
    // False when the bytes could not all be written.
    bool Write(const std::string& text);
    void Close();

private:
    intptr_t file_;
    std::unique_ptr<temporarypaths::TRegistration> registration_;
};

// A file written by a crash handler: no allocation, no locks, only calls that
// are safe in a signal handler. Prepare fixes the final and a temporary name
// unique to the process; Create opens the temporary name (returns the native
// handle: a file descriptor, or a Windows HANDLE; -1 on failure with the OS
// error kept); Commit flushes it to disk and renames it over the final name
// (false on failure, the OS error kept). The OS error is errno on POSIX and
// the thread's last error on Windows.
class WYX_API TCrashFile {
public:
    static const size_t kMaxPath = 1024;
    TCrashFile();
    TCrashFile(const TCrashFile&) = delete;
    TCrashFile& operator=(const TCrashFile&) = delete;

    // False when the path or its temporary name would not fit.
    bool Prepare(const char* path);
    intptr_t Create();
    bool Commit();
    // Closes and removes the temporary file; the OS error stays as it was.
    void Abandon();

private:
    char path_[kMaxPath];
    char temporary_[kMaxPath + 32];
    intptr_t file_;
};

// For a directory that the program chose itself (the default output
// directory): empty when path is a real directory of the running user, else
// why it is not ("is a symbolic link", "belongs to another user", ...).
WYX_API std::string PrivateDirectoryProblem(const std::string& path);

#endif
